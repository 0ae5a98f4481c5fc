#include "tests/core/scratchDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

scratchDirectory::scratchDirectory() {
    namespace fs = std::filesystem;
    previous = fs::current_path().string();
    std::random_device seed;
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() / ("tq-core-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            directory = candidate.string();
            break;
        }
    }
    fs::current_path(directory);
}

scratchDirectory::~scratchDirectory() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(directory, ignored);
}

std::string scratchDirectory::write(const std::string& name, const std::string& bytes) const {
    const std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string scratchDirectory::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool scratchDirectory::exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> scratchDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
