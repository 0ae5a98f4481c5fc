// Opens an address with xdg-open, or Debian's sensible-browser where
// xdg-utils is not installed, started directly (no shell, so nothing in the
// address is interpreted) and not waited for. The launcher's exit is
// collected later, at the next launch or idle, so no zombie stays behind.
// With neither program, standard error names the address, so that the user
// can open it by hand.
#pragma once

#include <sys/types.h>

#include "platform/platform.h"

class UrlLauncher {
public:
    static platform::Status open(const char* url);
    // Collects launchers that have finished; cheap when none is running.
    static void reap();

private:
    static void remember(pid_t pid);
};
