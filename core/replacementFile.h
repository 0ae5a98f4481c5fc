#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// How every file this product writes replaces what was there: preset files
// and the command-line host's outputs alike.
//
// - The new contents go to a temporary file in the destination's folder,
//   created exclusively: a name something already holds, a link included, is
//   never opened. The name is hidden, fits beside any legal destination name
//   and does not end in the destination's extension, so a file left behind
//   by a crash is not taken for one of its kind.
// - The temporary file takes the destination's place by a rename, only once
//   it is written, flushed, synced to the disk where the writer can reach
//   it (the portable core cannot; the command-line host does), and closed.
//   Until then, and after any failure, the destination is as it was and the
//   temporary file is removed.
// - A link is followed: the link stays and the file it names is replaced.
//   A replaced file keeps its permissions; a new one gets the usual ones.
// - Refused, as a plain overwrite would refuse them: a file that cannot be
//   written or whose owner has made it read-only, a dangling link, and
//   anything that is no regular file (a folder, a device, a pipe). A writer
//   that means to write to a device or a pipe opens it as a stream itself:
//   there is nothing to replace.
class replacementFile {
public:
    enum class mode { text, binary };
    // Makes what was written durable; false when it could not.
    using syncStep = bool (*)(std::FILE* file);

    // Creates the temporary file and opens it for writing.
    explicit replacementFile(const std::string& destination, mode how = mode::text);
    ~replacementFile();
    replacementFile(const replacementFile&) = delete;
    replacementFile& operator=(const replacementFile&) = delete;

    // Where the new contents go; null when the destination is refused or no
    // temporary file could be created.
    std::FILE* stream() const { return file; }
    // The temporary file while it exists; empty otherwise.
    const std::string& temporaryPath() const { return temporary; }
    // Why the last step failed, as an errno value; 0 when none did.
    int failure() const { return failureCode; }

    // Flushes, syncs (when a step is given) and closes the temporary file and
    // moves it over the destination. False when any step fails, the
    // destination then unchanged.
    bool commit(syncStep sync = nullptr);

private:
    bool fail(int code);
    void discard();

    std::filesystem::path target;
    std::string temporary;
    std::FILE* file = nullptr;
    bool replacesExisting = false;
    int failureCode = 0;
    std::filesystem::perms permissions = std::filesystem::perms::unknown;
};
