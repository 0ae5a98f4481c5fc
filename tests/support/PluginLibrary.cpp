#include "tests/support/PluginLibrary.h"

#include <dlfcn.h>

PluginLibrary::PluginLibrary(const std::string& path) {
    // Desktop hosts keep fontconfig loaded for their whole life; its caches
    // would otherwise read as leaks when the plug-in is unloaded.
    static void* const fontconfig = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_GLOBAL);
    (void)fontconfig;
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        lastError = message ? message : "dlopen failed";
    }
}

PluginLibrary::~PluginLibrary() {
    if (handle) {
        dlclose(handle);
    }
}

PluginLibrary::EntryProc PluginLibrary::entry(const char* name) const {
    return handle ? reinterpret_cast<EntryProc>(dlsym(handle, name)) : nullptr;
}
