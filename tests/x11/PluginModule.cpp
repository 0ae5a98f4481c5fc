#include "PluginModule.h"

#include <dlfcn.h>

PluginModule::PluginModule(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* text = dlerror();
        message = text ? text : "dlopen failed";
        return;
    }
    main = reinterpret_cast<EntryProc>(dlsym(handle, "VSTPluginMain"));
    if (!main) {
        message = "no VSTPluginMain";
    }
}

PluginModule::~PluginModule() {
    if (handle) {
        dlclose(handle);
    }
}
