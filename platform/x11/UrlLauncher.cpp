#include "platform/x11/UrlLauncher.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Launchers not yet collected. A fixed table: a full one only means an
// unlikely zombie, never a failure to open.
constexpr int kSlots = 16;
std::atomic<pid_t> running[kSlots];

} // namespace

void UrlLauncher::remember(pid_t pid) {
    for (auto& slot : running) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) {
            return;
        }
    }
}

void UrlLauncher::reap() {
    for (auto& slot : running) {
        const pid_t pid = slot.load(std::memory_order_relaxed);
        if (pid <= 0) {
            continue;
        }
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        // Finished, or already collected by the host (ECHILD): forget it.
        if (done == pid || (done < 0 && errno == ECHILD)) {
            pid_t expected = pid;
            slot.compare_exchange_strong(expected, 0);
        }
    }
}

platform::Status UrlLauncher::open(const char* url) {
    if (!url || !*url) {
        return platform::Status::invalidArgument;
    }
    reap();
    // The child starts with default signal handling and nothing blocked,
    // whatever the host's thread has set up.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        return platform::Status::failed;
    }
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    int result = ENOENT;
    pid_t pid = 0;
    for (const char* opener : {"xdg-open", "sensible-browser"}) {
        char* argv[] = {const_cast<char*>(opener), const_cast<char*>(url), nullptr};
        result = posix_spawnp(&pid, opener, nullptr, &attributes, argv, environ);
        if (result != ENOENT) {
            break;
        }
    }
    posix_spawnattr_destroy(&attributes);
    if (result == ENOENT) {
        std::fprintf(stderr,
                     "tq-spectrum: no program opens web pages here (xdg-open, from xdg-utils, "
                     "or sensible-browser); the page is %s\n",
                     url);
        return platform::Status::notFound;
    }
    if (result != 0) {
        return platform::Status::failed;
    }
    remember(pid);
    return platform::Status::ok;
}
