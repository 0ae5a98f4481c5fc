#include "core/presetLineReader.h"

#include <cstring>

presetLineReader::presetLineReader(std::FILE* file) : file(file), buffer{} {}

bool presetLineReader::next() {
    std::memset(buffer, 0, sizeof buffer);
    if (overLimit) {
        return false;
    }
    size_t length = 0;
    size_t lineLength = 0;
    bool readAny = false;
    for (int c = std::getc(file); c != EOF; c = std::getc(file)) {
        readAny = true;
        if (++consumed > kMaxFileLength) {
            overLimit = true;
            return false;
        }
        if (c == '\n') {
            break;
        }
        if (++lineLength > kMaxLineLength) {
            overLimit = true;
            return false;
        }
        if (length < kBufferSize - 1) {
            buffer[length++] = static_cast<char>(c);
        }
    }
    if (length > 0 && buffer[length - 1] == '\r') {
        buffer[--length] = '\0';
    }
    return readAny;
}

char* presetLineReader::nextField(char*& cursor, bool& separated) {
    char* field = cursor;
    char* separator = std::strchr(cursor, ':');
    separated = separator != nullptr;
    if (separator == nullptr) {
        cursor += std::strlen(cursor);
        return field;
    }
    *separator = '\0';
    cursor = separator + 1;
    return field;
}
