#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/parameterRecord.h"
#include "core/presetRecord.h"

class binaryLogger;

// The preset file format: one preset as text, a header line with the name,
// the core's version and the entry count, then one line per entry with its
// index, name, kind, data length and value. Every field, the last one
// included, is followed by the separator. There is no escaping: a separator
// or newline inside a value does not read back.

constexpr char kPresetSeparator = ':';

// Whether the text from the path's last dot to its end is exactly ".pre".
bool hasPresetExtension(const char* path);

// Replaces every separator in text by '-', in place. A null text is left
// alone.
void replaceSeparators(char* text);

// The header line, newline included.
std::string presetHeaderLine(const char* name, int32_t version, int32_t entryCount);

// One entry line, newline included: the fifth field holds the text of a
// string parameter, the raw bytes of a chunk, or the value with six
// decimals for every other kind (the parameter's own kind decides).
std::string presetEntryLine(int32_t index, const char* name, int32_t kind, int32_t dataLength,
                            const parameterRecord& parameter);

// Reads the header and the entries of an open preset file into preset (its
// name, entry count and values). Values are clamped to the range of the
// table's parameter with the same index, where there is one. False when the
// file holds no usable header or passes the reader's limits: the preset is
// then not to be added.
bool readPresetFile(std::FILE* file, presetRecord& preset, const parameterRecord* table,
                    int32_t tableCount, binaryLogger& logger);

// The preset that saving name to fileName updates: the first one of that
// name read from that same file (the same path, or the same file reached by
// another path); -1 when there is none.
int32_t findSavedPreset(const std::vector<presetRecord>& presets, const char* name,
                        const std::string& fileName);
