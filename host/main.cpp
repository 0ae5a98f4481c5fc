// tq-spectrum: runs an audio file, or a demo signal, through the plug-in and
// reports the band levels it measures.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "host/HostApp.h"
#include "host/OutputFile.h"

int main(int argc, char** argv) {
    OutputFile::removeTemporariesOnSignals();
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        HostApp app(std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
        const int status = app.run(args);
        // What went to standard output reaches it now at the latest; a run
        // that failed has said so already.
        errno = 0;
        std::cout.flush();
        if (status == HostApp::kExitSuccess &&
            (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout))) {
            const int code = errno ? errno : EIO;
            std::cerr << "tq-spectrum: cannot write to standard output: " << std::strerror(code)
                      << '\n';
            return HostApp::kExitFailure;
        }
        return std::cout ? status : HostApp::kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "tq-spectrum: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "tq-spectrum: unexpected failure\n";
    }
    return HostApp::kExitFailure;
}
