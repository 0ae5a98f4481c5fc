#include "core/textField.h"

#include <cstring>

void copyToField(char* field, size_t fieldSize, const char* source) {
    if (source == nullptr) {
        std::memset(field, 0, fieldSize);
        return;
    }
    std::strncpy(field, source, fieldSize);
}

size_t fieldLength(const char* field, size_t fieldSize) {
    const void* end = std::memchr(field, '\0', fieldSize);
    return end == nullptr ? fieldSize : static_cast<size_t>(static_cast<const char*>(end) - field);
}

void copyFieldToText(char* text, const char* field, size_t fieldSize) {
    const size_t length = fieldLength(field, fieldSize);
    std::memcpy(text, field, length);
    text[length] = '\0';
}

bool fieldEquals(const char* field, size_t fieldSize, const char* name) {
    if (name == nullptr) {
        return false;
    }
    for (size_t i = 0; i < fieldSize; ++i) {
        if (field[i] != name[i]) {
            return false;
        }
        if (name[i] == '\0') {
            return true;
        }
    }
    return name[fieldSize] == '\0';
}
