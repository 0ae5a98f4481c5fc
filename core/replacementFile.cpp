#include "core/replacementFile.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A name beside the target that nothing holds yet. It does not end in the
// target's extension, so a file left behind by a crash is not taken for one
// of the target's kind.
std::string unusedNameBeside(const fs::path& target) {
    static std::atomic<uint32_t> counter{0};
    const uint64_t time =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t mixed = time ^ (uint64_t{counter.fetch_add(1)} * 0x9E3779B97F4A7C15u);
        mixed ^= mixed >> 29;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<uint32_t>(mixed));
        std::string candidate = target.string() + suffix;
        std::error_code error;
        if (fs::symlink_status(candidate, error).type() == fs::file_type::not_found) {
            return candidate;
        }
    }
    return std::string();
}

} // namespace

replacementFile::replacementFile(const std::string& destination) : target(destination) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        target = fs::canonical(target, error);
        if (error) {
            return;
        }
    }
    const fs::file_status status = fs::status(target, error);
    if (status.type() != fs::file_type::not_found) {
        if (error || !fs::is_regular_file(status)) {
            return;
        }
        // A file its owner has made read-only stays as it is.
        std::FILE* probe = std::fopen(target.string().c_str(), "r+");
        if (probe == nullptr) {
            return;
        }
        std::fclose(probe);
        replacesExisting = true;
        permissions = status.permissions();
    }
    temporary = unusedNameBeside(target);
    if (temporary.empty()) {
        return;
    }
    file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        temporary.clear();
    }
}

replacementFile::~replacementFile() {
    discard();
}

bool replacementFile::commit() {
    if (file == nullptr) {
        return false;
    }
    bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    written = std::fclose(file) == 0 && written;
    file = nullptr;
    std::error_code error;
    if (written && replacesExisting) {
        fs::permissions(temporary, permissions, error);
        written = !error;
    }
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
    }
    if (written) {
        temporary.clear();
    }
    discard();
    return written;
}

void replacementFile::discard() {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.empty()) {
        std::remove(temporary.c_str());
        temporary.clear();
    }
}
