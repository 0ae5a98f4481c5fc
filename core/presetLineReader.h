#pragma once

#include <cstddef>
#include <cstdio>

// Reads a preset file line by line into a fixed buffer. A line longer than
// the buffer is cut, and the rest of it is skipped rather than read as the
// next line. Reading stops for good past a line of kMaxLineLength characters
// or kMaxFileLength characters in all, so that a file that never ends (a
// link to /dev/zero, a huge file without a newline) is given up in bounded
// time.
class presetLineReader {
public:
    static constexpr size_t kBufferSize = 512;
    static constexpr size_t kMaxLineLength = size_t{1} << 21; // its newline excluded
    static constexpr size_t kMaxFileLength = size_t{1} << 23; // newlines included

    explicit presetLineReader(std::FILE* file);

    // Clears the buffer and reads the next line into it: at most 511
    // characters, without the line end (a CR before it included), then a
    // terminator. False at the end of the file when nothing was read, and
    // from the moment a limit was passed.
    bool next();

    // Whether a limit was passed: what was read is then not to be trusted.
    bool exceeded() const { return overLimit; }

    // The current line. Fields are cut out of it in place.
    char* text() { return buffer; }

    // Cuts the next field off the text at cursor: the field ends at the next
    // ":" (replaced by a terminator), and cursor moves past it. separated
    // tells whether a ":" ended the field; otherwise the field is the rest of
    // the text and cursor is left at its end. Never null.
    static char* nextField(char*& cursor, bool& separated);

private:
    std::FILE* file;
    size_t consumed = 0; // characters read from the file so far
    bool overLimit = false;
    char buffer[kBufferSize];
};
