// The host side of the ABI suite on Windows: the plug-in DLL is loaded the
// way a Windows host loads it (LoadLibrary + GetProcAddress). A relative
// name is looked up next to the test program, where the build puts the DLL.
#include <windows.h>

#include "tests/support/PluginLibrary.h"

namespace {

std::string besideProgram(const std::string& name) {
    if (name.find(':') != std::string::npos || name.find('\\') == 0 || name.find('/') == 0) {
        return name;
    }
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? name : folder.substr(0, slash + 1) + name;
}

} // namespace

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
