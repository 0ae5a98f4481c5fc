#include "PluginLibrary.h"

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

namespace testHost {

VstIntPtr hostVersion = 2400;
std::vector<HostCall> calls;

VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                               float opt) {
    calls.push_back({opcode, index, value, opt});
    return opcode == audioMasterVersion ? hostVersion : 0;
}

} // namespace testHost
