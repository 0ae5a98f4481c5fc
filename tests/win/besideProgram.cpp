#include "besideProgram.h"

#include <windows.h>

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
