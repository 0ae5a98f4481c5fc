// Opens an address with xdg-open, started directly (no shell, so nothing in
// the address is interpreted) and not waited for. The launcher's exit is
// collected later, at the next launch or idle, so no zombie stays behind.
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
