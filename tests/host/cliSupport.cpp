#include "tests/host/cliSupport.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

CliResult runCli(const std::vector<std::string>& args, const std::string& workDir,
                 const CliInput& input) {
    std::vector<std::string> argv{TQ_SPECTRUM_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, workDir, input);
}

CliResult runProgram(const std::vector<std::string>& args, const std::string& workDir,
                     const CliInput& input) {
    ScratchDir capture;
    const std::string runDir = workDir.empty() ? capture.file("run") : workDir;
    if (workDir.empty()) {
        std::filesystem::create_directory(runDir);
    }
    const std::string outPath = capture.file("stdout");
    const std::string errPath = capture.file("stderr");

    std::vector<std::string> argvText = args;
    std::vector<char*> argv;
    for (std::string& arg : argvText) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const std::string inPath = input.file.empty() ? "/dev/null" : input.file;
    const pid_t child = ::fork();
    if (child == 0) {
        int in = ::open(inPath.c_str(), O_RDONLY);
        int ends[2];
        if (input.pipe && in >= 0 && ::pipe(ends) == 0) {
            // A writer of its own feeds the pipe, as `cat FILE |` would.
            if (::fork() == 0) {
                ::close(ends[0]);
                char buffer[1 << 16];
                for (ssize_t got; (got = ::read(in, buffer, sizeof buffer)) > 0;) {
                    if (::write(ends[1], buffer, size_t(got)) != got) {
                        break;
                    }
                }
                ::_exit(0);
            }
            ::close(ends[1]);
            ::close(in);
            in = ends[0];
        }
        const int out = input.output.empty()
                            ? ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)
                            : ::open(input.output.c_str(), O_WRONLY | O_APPEND);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0 || ::chdir(runDir.c_str()) != 0) {
            ::_exit(127);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    CliResult result;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    result.out = ScratchDir::read(outPath);
    result.err = ScratchDir::read(errPath);
    return result;
}

int signalCli(const std::vector<std::string>& args, const std::function<bool()>& ready,
              int signal) {
    std::vector<std::string> argvText{TQ_SPECTRUM_CLI};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    bool readied = false;
    for (int wait = 0; child > 0 && wait < 2000 && !readied; ++wait) {
        readied = ready();
        if (!readied) {
            ::usleep(10000);
        }
    }
    if (child > 0) {
        ::kill(child, readied ? signal : SIGKILL);
        ::waitpid(child, &status, 0);
    }
    return readied && WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

void writeWav(const std::string& path, int rate, int channels, long frames,
              const std::function<float(long, int)>& sample, int format) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> frame(static_cast<size_t>(channels));
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            frame[static_cast<size_t>(c)] = sample(i, c);
        }
        ASSERT_EQ(sf_writef_float(file, frame.data(), 1), 1);
    }
    ASSERT_EQ(sf_close(file), 0);
}

CsvTable readCsv(const std::string& path) {
    CsvTable table;
    std::ifstream in(path);
    std::string line;
    if (std::getline(in, line)) {
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            table.header.push_back(field);
        }
    }
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            char* end = nullptr;
            row.push_back(std::strtod(field.c_str(), &end));
            EXPECT_EQ(*end, '\0') << "not a number: '" << field << "'";
        }
        table.rows.push_back(row);
    }
    return table;
}

float sine(double hz, double amplitude, long frame, int rate) {
    return static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * frame / rate));
}
