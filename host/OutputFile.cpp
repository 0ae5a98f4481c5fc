#include "host/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace {

// Temporary files a signal handler must remove; a run keeps at most three.
constexpr int kSlotCount = 8;
std::atomic<const char*> gTemporaries[kSlotCount];
static_assert(std::atomic<const char*>::is_always_lock_free, "read from a signal handler");

int registerTemporary(const char* path) {
    for (int i = 0; i < kSlotCount; ++i) {
        const char* empty = nullptr;
        if (gTemporaries[i].compare_exchange_strong(empty, path)) {
            return i;
        }
    }
    return -1;
}

void unregisterTemporary(int& slot) {
    if (slot >= 0) {
        gTemporaries[slot].store(nullptr);
        slot = -1;
    }
}

extern "C" void removeTemporariesAndStop(int signal) {
    const int saved = errno;
    for (auto& temporary : gTemporaries) {
        if (const char* path = temporary.load()) {
            ::unlink(path);
        }
    }
    errno = saved;
    // SA_RESETHAND put the default action back: the signal, blocked while
    // this handler runs, ends the program once it returns.
    std::raise(signal);
}

bool syncToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

} // namespace

OutputFile::OutputFile(std::string destination) : target(std::move(destination)) {}

OutputFile::~OutputFile() {
    discard();
}

std::string OutputFile::shownName() const {
    return isStandardOutput() ? std::string("standard output") : "'" + target + "'";
}

bool OutputFile::failWith(int code, std::string& error) {
    error = "cannot write " + what + " " + shownName() + ": " + std::strerror(code ? code : EIO);
    return false;
}

std::FILE* OutputFile::stream() const {
    return replacement ? replacement->stream() : direct;
}

bool OutputFile::create(const std::string& name, std::string& error) {
    what = name;
    if (isStandardOutput()) {
        direct = stdout;
        return true;
    }
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISDIR(status.st_mode)) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        direct = fd < 0 ? nullptr : ::fdopen(fd, "wb");
        if (!direct) {
            error = "cannot open " + what + " " + shownName() + ": " + std::strerror(errno);
            if (fd >= 0) {
                ::close(fd);
            }
            return false;
        }
        return true;
    }
    // A signal waits until the new temporary file is known to its handler.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::sigprocmask(SIG_SETMASK, &all, &previous);
    replacement = std::make_unique<replacementFile>(target, replacementFile::mode::binary);
    if (replacement->stream()) {
        registered = replacement->temporaryPath();
        slot = registerTemporary(registered.c_str());
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (!replacement->stream()) {
        const int code = replacement->failure();
        error = "cannot create " + what + " " + shownName() + ": " +
                (code == EISDIR ? std::string("it is a directory") : std::strerror(code));
        replacement.reset();
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string& error) {
    if (replacement) {
        const bool done = replacement->commit(syncToDisk);
        const int code = replacement->failure();
        unregisterTemporary(slot);
        replacement.reset();
        return done || failWith(code, error);
    }
    if (!direct) {
        return true;
    }
    errno = 0;
    bool written = std::fflush(direct) == 0 && std::ferror(direct) == 0;
    int code = errno;
    if (direct != stdout) {
        errno = 0;
        written = std::fclose(direct) == 0 && written;
        code = code ? code : errno;
    }
    direct = nullptr;
    return written || failWith(code, error);
}

void OutputFile::discard() {
    replacement.reset();
    unregisterTemporary(slot);
    if (direct && direct != stdout) {
        std::fclose(direct);
    }
    direct = nullptr;
}

void OutputFile::removeTemporariesOnSignals() {
    // Every signal whose default action ends the program and that a handler
    // may catch.
    std::vector<int> signals{SIGHUP,  SIGINT,  SIGQUIT, SIGILL,   SIGTRAP,   SIGABRT,
                             SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV,  SIGUSR2,   SIGPIPE,
                             SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,  SIGVTALRM, SIGPROF,
                             SIGSYS,  SIGPOLL, SIGPWR,  SIGSTKFLT};
    for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime) {
        signals.push_back(realTime);
    }
    for (int signal : signals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL ||
            (previous.sa_flags & SA_SIGINFO) != 0) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}
