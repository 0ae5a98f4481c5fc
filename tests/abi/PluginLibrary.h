// Loads the built plug-in library the way a Linux host does (dlopen +
// VSTPluginMain) and offers a recording host callback.
#pragma once

#include <string>
#include <vector>

#include "vst/AEffect.h"

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

class PluginLibrary {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }
    EntryProc entry(const char* name) const;
    std::string error() const { return lastError; }

private:
    void* handle = nullptr;
    std::string lastError;
};

// The host callback answers audioMasterVersion with hostVersion and records
// every call.
namespace testHost {
extern VstIntPtr hostVersion;
extern std::vector<HostCall> calls;
VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt);
} // namespace testHost
