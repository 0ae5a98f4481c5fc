#include "tests/support/ScratchDir.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

ScratchDir::ScratchDir(Enter enter) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "tq-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory = pattern;
    if (enter == Enter::yes) {
        previous = fs::current_path().string();
        fs::current_path(directory);
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!previous.empty()) {
        std::filesystem::current_path(previous, ignored);
    }
    std::filesystem::remove_all(directory, ignored);
}

std::string ScratchDir::write(const std::string& name, const std::string& bytes) const {
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ScratchDir::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool ScratchDir::exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> ScratchDir::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> ScratchDir::contents() const {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), directory).string()] = read(entry.path().string());
        }
    }
    return files;
}

std::vector<std::string>
ScratchDir::changedSince(const std::map<std::string, std::string>& before) const {
    std::map<std::string, std::string> after = contents();
    std::vector<std::string> changed;
    for (const auto& [name, bytes] : before) {
        const auto now = after.find(name);
        if (now == after.end() || now->second != bytes) {
            changed.push_back(name);
        }
        if (now != after.end()) {
            after.erase(now);
        }
    }
    for (const auto& appeared : after) {
        changed.push_back(appeared.first);
    }
    std::sort(changed.begin(), changed.end());
    return changed;
}
