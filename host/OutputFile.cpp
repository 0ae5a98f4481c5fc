#include "host/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
    for (auto& temporary : gTemporaries) {
        if (const char* path = temporary.load()) {
            ::unlink(path);
        }
    }
    // SA_RESETHAND put the default action back: it ends the program once
    // this handler returns.
    std::raise(signal);
}

mode_t creationMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string systemError(const std::string& what, const std::string& path, int code) {
    return "cannot " + what + " '" + path + "': " + std::strerror(code);
}

} // namespace

OutputFile::OutputFile(std::string destination) : target(std::move(destination)) {}

OutputFile::~OutputFile() {
    discard();
}

const std::string& OutputFile::writePath() const {
    return temporary.empty() ? target : temporary;
}

bool OutputFile::create(const std::string& name, std::string& error) {
    what = name;
    if (isStandardOutput()) {
        return true;
    }
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) {
        error = "cannot create " + what + " '" + target + "': it is a directory";
        return false;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return true;
    }
    // Through a link, the file it names is the one to replace.
    std::error_code ignored;
    std::filesystem::path real = std::filesystem::weakly_canonical(target, ignored);
    if (real.empty()) {
        real = target;
    }
    const std::filesystem::path folder = real.has_parent_path() ? real.parent_path() : ".";
    std::string pattern = (folder / ("." + real.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = systemError("create " + what, target, errno);
        return false;
    }
    ::fchmod(fd, exists ? status.st_mode & 07777 : creationMode());
    ::close(fd);
    temporary = pattern;
    replaced = real.string();
    pending = true;
    slot = registerTemporary(temporary.c_str());
    return true;
}

bool OutputFile::commit(std::string& error) {
    if (!pending) {
        return true; // written directly, or committed already
    }
    const int fd = ::open(temporary.c_str(), O_RDONLY);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int syncError = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!synced) {
        error = systemError("write " + what, target, syncError);
        return false;
    }
    if (std::rename(temporary.c_str(), replaced.c_str()) != 0) {
        error = systemError("replace " + what, target, errno);
        return false;
    }
    pending = false;
    unregisterTemporary(slot);
    return true;
}

void OutputFile::discard() {
    if (pending) {
        ::unlink(temporary.c_str());
        pending = false;
    }
    unregisterTemporary(slot);
}

void OutputFile::removeTemporariesOnSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}
