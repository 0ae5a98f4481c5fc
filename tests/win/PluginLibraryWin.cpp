// The host side of the ABI suite on Windows: the plug-in DLL is loaded the
// way a Windows host loads it (LoadLibrary + GetProcAddress). A relative
// name is looked up next to the test program, where the build puts the DLL.
#include <windows.h>

#include "besideProgram.h"
#include "tests/support/PluginLibrary.h"

PluginLibrary::PluginLibrary(const std::string& path) {
    handle = LoadLibraryA(besideProgram(path).c_str());
    if (!handle) {
        lastError = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
}

PluginLibrary::~PluginLibrary() {
    if (handle) {
        FreeLibrary(static_cast<HMODULE>(handle));
    }
}

PluginLibrary::EntryProc PluginLibrary::entry(const char* name) const {
    if (!handle) {
        return nullptr;
    }
    FARPROC proc = GetProcAddress(static_cast<HMODULE>(handle), name);
    return reinterpret_cast<EntryProc>(reinterpret_cast<void*>(proc));
}
