#include "core/presetFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/numberText.h"
#include "core/pluginCore.h"
#include "core/presetLineReader.h"
#include "core/textField.h"
#include "core/traceCode.h"
#include "core/unitTable.h"
#include "events/binaryLogger.h"

namespace {

// Appends the field and the separator that follows it.
void appendField(std::string& line, const char* text) {
    line += text;
    line += kPresetSeparator;
}

void appendField(std::string& line, int32_t number) {
    char text[kFixedTextSize];
    formatInteger(number, text, sizeof text);
    appendField(line, text);
}

} // namespace

bool hasPresetExtension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && std::strcmp(dot, ".pre") == 0;
}

void replaceSeparators(char* text) {
    if (text == nullptr) {
        return;
    }
    for (char* p = text; *p != '\0'; ++p) {
        if (*p == kPresetSeparator) {
            *p = '-';
        }
    }
}

std::string presetHeaderLine(const char* name, int32_t version, int32_t entryCount) {
    std::string line;
    appendField(line, name);
    appendField(line, version);
    appendField(line, entryCount);
    line += '\n';
    return line;
}

std::string presetEntryLine(int32_t index, const char* name, int32_t kind, int32_t dataLength,
                            const parameterRecord& parameter) {
    std::string line;
    appendField(line, index);
    appendField(line, name);
    appendField(line, kind);
    appendField(line, dataLength);
    const size_t length = static_cast<size_t>(std::max(parameter.dataLength, 0));
    if (parameter.kind == kStringKind) {
        if (parameter.data != nullptr) {
            const char* text = reinterpret_cast<const char*>(parameter.data);
            line.append(text, fieldLength(text, length));
        }
    } else if (parameter.kind == kChunkKind) {
        if (parameter.data != nullptr) {
            line.append(reinterpret_cast<const char*>(parameter.data), length);
        }
    } else {
        char number[kFixedTextSize];
        formatFixed(static_cast<double>(parameter.value), 6, number, sizeof number);
        line += number;
    }
    line += kPresetSeparator;
    line += '\n';
    return line;
}

bool readPresetFile(std::FILE* file, presetRecord& preset, const parameterRecord* table,
                    int32_t tableCount, binaryLogger& logger) {
    presetLineReader reader(file);
    if (!reader.next()) {
        return false;
    }
    char* cursor = reader.text();
    bool nameEnded = false;
    bool versionEnded = false;
    bool countEnded = false;
    const char* name = presetLineReader::nextField(cursor, nameEnded);
    const char* version = presetLineReader::nextField(cursor, versionEnded);
    const char* count = presetLineReader::nextField(cursor, countEnded);
    if (!nameEnded || !versionEnded || !countEnded) {
        return false;
    }
    copyToField(preset.name, pluginCore::kNameSize, name);
    logger.tracePointer(kTracePresetName, preset.name, nullptr, nullptr, nullptr);
    logger.traceInteger(kTracePresetVersion, readInteger(version), 0, 0, 0);
    bool numeric = false;
    const int32_t entryCount = readInteger(count, &numeric);
    logger.traceInteger(kTracePresetEntryCount, entryCount, 0, 0, 0);
    // A count that is no number, negative or beyond any table refuses the
    // whole file rather than inventing or allocating entries.
    if (!numeric || entryCount < 0 || entryCount > pluginCore::kMaxParameters) {
        return false;
    }
    preset.entryCount = entryCount;
    preset.values.resize(static_cast<size_t>(entryCount));

    // Entries the file announces but lacks, and fields a line lacks, read as
    // empty text: names empty, numbers 0, and the value 0 goes through the
    // same clamping as any value read.
    for (int32_t i = 0; i < entryCount; ++i) {
        parameterRecord& entry = preset.values[static_cast<size_t>(i)];
        double value = 0.0;
        const bool read = reader.next();
        if (reader.exceeded()) {
            return false;
        }
        if (read) {
            cursor = reader.text();
            bool ended = false;
            presetLineReader::nextField(cursor, ended); // the written index: unused
            copyToField(entry.name, pluginCore::kNameSize,
                        presetLineReader::nextField(cursor, ended));
            entry.kind = readInteger(presetLineReader::nextField(cursor, ended));
            entry.dataLength = readInteger(presetLineReader::nextField(cursor, ended));
            logger.traceInteger(kTracePresetEntry, i, entry.kind, entry.dataLength, 0);
            value = readDouble(presetLineReader::nextField(cursor, ended));
        }
        entry.value = std::isnan(value) ? 0.0f : toFloat(value);
        if (i < tableCount) {
            clampToRange(table[i], entry.value);
        }
        logger.traceFloat(kTracePresetEntryValue, entry.value, 0.0f, 0.0f, 0.0f);
    }
    return true;
}

int32_t findSavedPreset(const std::vector<presetRecord>& presets, const char* name,
                        const std::string& fileName) {
    for (size_t i = 0; i < presets.size(); ++i) {
        const presetRecord& preset = presets[i];
        if (!fieldEquals(preset.name, pluginCore::kNameSize, name)) {
            continue;
        }
        std::error_code error;
        if (fieldEquals(preset.path, pluginCore::kPathSize, fileName.c_str()) ||
            (fieldLength(preset.path, pluginCore::kPathSize) < pluginCore::kPathSize &&
             std::filesystem::equivalent(preset.path, fileName, error))) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}
