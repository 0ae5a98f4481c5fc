// glibc: tq_level_order_proof finds the level non-decreasing over every
// non-negative float with each of the library's logf variants (under its
// log10f) in the releases below. Any other release, or a log10f that is not
// libm's own (a preload, a library loaded before it), is unproven.
#include "analysis/LevelOrder.h"

#include <dlfcn.h>
#include <gnu/libc-version.h>

#include <cmath>
#include <cstring>

namespace {

constexpr const char* kProvenReleases[] = {"2.36"};

bool libmOwnLog10f() {
    // The log10f this module's calls are bound to, against libm's own.
    float (*const bound)(float) = &log10f;
    void* libm = dlopen("libm.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (libm == nullptr) {
        return false;
    }
    const void* own = dlsym(libm, "log10f");
    dlclose(libm);
    return own != nullptr && own == reinterpret_cast<const void*>(bound);
}

bool provenRelease() {
    const char* running = gnu_get_libc_version();
    for (const char* release : kProvenReleases) {
        if (running != nullptr && std::strcmp(running, release) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

bool LevelOrder::followsPower() {
    static const bool follows = provenRelease() && libmOwnLog10f();
    return follows;
}
