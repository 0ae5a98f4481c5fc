#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// Replaces a file's contents as a whole or not at all. The new contents go
// to a temporary file in the destination's folder, which takes the
// destination's place only once it is written, flushed and closed; until
// then, and after any failure, the destination is as it was, and the
// temporary file is removed.
//
// A destination that is a link is followed: the link stays and its target
// is replaced. A destination that exists but is no regular file (a device, a
// folder), a dangling link, and a file that cannot be opened for writing are
// refused, as a plain overwrite would refuse them. A replaced file keeps its
// permissions.
class replacementFile {
public:
    // Creates the temporary file and opens it for writing in text mode.
    explicit replacementFile(const std::string& destination);
    ~replacementFile();
    replacementFile(const replacementFile&) = delete;
    replacementFile& operator=(const replacementFile&) = delete;

    // Where the new contents go; null when the destination is refused or no
    // temporary file could be created.
    std::FILE* stream() const { return file; }

    // Flushes and closes the temporary file and moves it over the
    // destination. False when any step fails, the destination then unchanged.
    bool commit();

private:
    void discard();

    std::filesystem::path target;
    std::string temporary;
    std::FILE* file = nullptr;
    bool replacesExisting = false;
    std::filesystem::perms permissions = std::filesystem::perms::unknown;
};
