#include "core/replacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Bytes of the destination's name kept in the temporary name: with the dot
// before it and the 14 bytes after it, well under the 255 a name may take.
constexpr size_t kKeptNameBytes = 200;

// The destination's name, cut to fit, never inside a UTF-8 sequence.
std::string keptName(const std::string& name) {
    size_t length = std::min(name.size(), kKeptNameBytes);
    while (length > 0 && length < name.size() &&
           (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
        --length;
    }
    return name.substr(0, length);
}

// Creates and opens a new file beside the target under a name nothing
// holds; never opens an existing one.
std::FILE* createBeside(const fs::path& target, replacementFile::mode how, std::string& name,
                        int& code) {
    static std::atomic<uint32_t> counter{0};
    const uint64_t time =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string stem = "." + keptName(target.filename().string());
    code = EEXIST;
    for (int attempt = 0; attempt < 100 && code == EEXIST; ++attempt) {
        uint64_t mixed = time ^ (uint64_t{counter.fetch_add(1)} * 0x9E3779B97F4A7C15u);
        mixed ^= mixed >> 29;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<uint32_t>(mixed));
        const std::string candidate = (target.parent_path() / (stem + suffix)).string();
        errno = 0;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        code = errno;
        if (fd < 0) {
            continue;
        }
        std::FILE* file = ::fdopen(fd, how == replacementFile::mode::binary ? "wb" : "w");
        if (file == nullptr) {
            code = errno;
            std::remove(candidate.c_str());
            return nullptr;
        }
        name = candidate;
        return file;
    }
    return nullptr;
}

} // namespace

replacementFile::replacementFile(const std::string& destination, mode how) : target(destination) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        target = fs::canonical(target, error);
        if (error) {
            fail(ENOENT);
            return;
        }
    }
    const fs::file_status status = fs::status(target, error);
    if (status.type() != fs::file_type::not_found) {
        if (error) {
            fail(error.value());
            return;
        }
        if (fs::is_directory(status)) {
            fail(EISDIR);
            return;
        }
        if (!fs::is_regular_file(status)) {
            fail(EINVAL);
            return;
        }
        // A file its owner has made read-only stays as it is, even for root.
        std::FILE* probe = std::fopen(target.string().c_str(), "r+");
        const int code = errno;
        if (probe == nullptr ||
            (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            if (probe != nullptr) {
                std::fclose(probe);
            }
            fail(probe == nullptr ? code : EACCES);
            return;
        }
        std::fclose(probe);
        replacesExisting = true;
        permissions = status.permissions();
    }
    int code = 0;
    file = createBeside(target, how, temporary, code);
    if (file == nullptr) {
        fail(code);
    }
}

replacementFile::~replacementFile() {
    discard();
}

bool replacementFile::fail(int code) {
    failureCode = code != 0 ? code : EIO;
    return false;
}

bool replacementFile::commit(syncStep sync) {
    if (file == nullptr) {
        return fail(failureCode);
    }
    errno = 0;
    bool written = std::fflush(file) == 0 && std::ferror(file) == 0 && (!sync || sync(file));
    int code = errno;
    errno = 0;
    written = std::fclose(file) == 0 && written;
    code = code != 0 ? code : errno;
    file = nullptr;
    std::error_code error;
    if (written && replacesExisting) {
        fs::permissions(temporary, permissions, error);
        written = !error;
        code = error.value();
    }
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
        code = error.value();
    }
    if (written) {
        temporary.clear();
    } else {
        fail(code);
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
