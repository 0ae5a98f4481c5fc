// The built plug-in library loaded as a Linux host loads it: dlopen, then
// its VSTPluginMain.
#pragma once

#include <string>

#include "vst/AEffect.h"

class PluginModule {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    explicit PluginModule(const std::string& path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    EntryProc entry() const { return main; }
    const std::string& error() const { return message; }

private:
    void* handle = nullptr;
    EntryProc main = nullptr;
    std::string message;
};
