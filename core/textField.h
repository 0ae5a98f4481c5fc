#pragma once

#include <cstddef>

// Texts in fixed character fields (names 24, paths 384): a field holds a
// terminator only when its text is shorter than the field, so every read is
// bounded by the field's size.

// strncpy into the field: the rest is NUL-filled, a source as long as the
// field or longer leaves no terminator. A null source clears the field.
void copyToField(char* field, size_t fieldSize, const char* source);

// Length of the field's text: up to its terminator or the field's end.
size_t fieldLength(const char* field, size_t fieldSize);

// Copies the field's text into text and terminates it: text holds
// fieldSize + 1 characters.
void copyFieldToText(char* text, const char* field, size_t fieldSize);

// Whether the field's text equals name exactly. A name longer than the field
// equals no field: two names that differ only past the field's size are not
// the same name. Nothing past the field's size is read from the field.
bool fieldEquals(const char* field, size_t fieldSize, const char* name);
