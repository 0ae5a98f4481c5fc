// Loads the built plug-in library the way a host does and finds its entry
// points: dlopen and dlsym here (PluginLibrary.cpp), LoadLibrary and
// GetProcAddress on Windows (tests/win/PluginLibraryWin.cpp).
#pragma once

#include <string>

#include "vst/AEffect.h"

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
