// [SECTION] index
//   construction and frame counting
//   parameters
//   preset list
//   preset files (the format itself: presetFile)
//   MIDI, byte messages and tuning (the handling itself: midiHandler)
#include "core/pluginCore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "core/midiHandler.h"
#include "core/numberText.h"
#include "core/parameterData.h"
#include "core/presetFile.h"
#include "core/presetLineReader.h"
#include "core/replacementFile.h"
#include "core/textField.h"
#include "core/unitTable.h"
#include "events/eventRecord.h"

namespace {

// Where a preset's file is for as long as the preset is listed, whatever
// the working folder becomes.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error || full.empty() ? path : full.lexically_normal().string();
}

// A line break, a tab or another control character would break the file's
// one-line header, and no load would read the name back.
bool hasControlCharacter(const char* text) {
    for (; *text != '\0'; ++text) {
        const unsigned char c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

constexpr int32_t kInitialVersion = 1000;

struct fileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

// [SECTION] construction and frame counting

pluginCore::pluginCore()
    : logger(std::make_unique<binaryLogger>()), parameterCount(0), versionNumber(0),
      frameCounter(0), presetCount(0), currentPreset(-1), pitchTable{}, controllerMap{},
      activeNoteCount(0), learnIndex(-1) {
    trace(kTraceVersion, kInitialVersion);
    versionNumber = kInitialVersion;
    // Notes are unique numbers 0..127, so the list never grows past this and
    // a note-on delivered on the audio thread allocates nothing.
    notes.reserve(kNoteCount);
    pluginCore::setTuning(440.0f);
    std::fill(std::begin(controllerMap), std::end(controllerMap), -1);
    trace(kTraceConstructed);
}

pluginCore::~pluginCore() {
    for (presetRecord& preset : presets) {
        preset.values.clear();
    }
    for (parameterRecord& parameter : parameters) {
        parameter.targets.clear();
        releaseParameterData(parameter);
    }
    parameters.clear();
    trace(kTraceDestroyed);
    logger.reset();
}

void pluginCore::onEvent(eventRecord* record) {
    if (record == nullptr) {
        trace(kTraceUnknownEvent);
        return;
    }
    switch (record->eventKind) {
    case kEventKindEmpty:
        trace(kTraceEmptyEvent);
        break;
    case kEventKindMidi:
        trace(kTraceMidiEvent);
        midiMessage(record->status, record->tag, record->data1, record->data2, 0);
        break;
    default:
        trace(kTraceUnknownEvent);
        break;
    }
}

int32_t pluginCore::getVersion() {
    return versionNumber;
}

void pluginCore::setVersion(int32_t version) {
    trace(kTraceVersion, version);
    versionNumber = version;
}

void pluginCore::process(float**, float**, int32_t frames) {
    trace(kTraceProcess, frames);
    advanceFrames(frames);
}

void pluginCore::advanceFrames(int32_t frames) {
    frameCounter =
        static_cast<int32_t>(static_cast<uint32_t>(frameCounter) + static_cast<uint32_t>(frames));
    events.advance(frameCounter);
}

int32_t pluginCore::initialize() {
    trace(kTraceInitialize);
    return 0;
}

void pluginCore::trace(traceCode code, int32_t a, int32_t b, int32_t c, int32_t d) {
    logger->traceInteger(code, a, b, c, d);
}

// [SECTION] parameters

int32_t pluginCore::addParameter(const char* name, int32_t kind, float minimum, float maximum,
                                 float value, int32_t dataLength, bool hidden, float auxValue) {
    if (parameterCount >= kMaxParameters || kind < 0 || kind >= kUnitKindCount ||
        !(minimum < maximum) || (kind == kLogarithmicKind && !(minimum > 0.0f))) {
        return -1;
    }
    parameterRecord parameter;
    copyToField(parameter.name, kNameSize, name);
    parameter.value = value;
    parameter.kind = kind;
    parameter.dataLength = dataLength;
    parameter.minimum = minimum;
    parameter.maximum = maximum;
    parameter.auxValue = auxValue;
    parameter.hidden = hidden;
    if (!allocateParameterData(parameter)) {
        return -1;
    }
    parameters.push_back(std::move(parameter));
    parameterCount = static_cast<int32_t>(parameters.size());
    return parameterCount - 1;
}

bool pluginCore::addParameterTarget(int32_t index, float* target) {
    if (!validParameter(index) || target == nullptr) {
        return false;
    }
    parameterRecord& parameter = parameterAt(index);
    parameter.targets.push_back(target);
    parameter.targetCount = static_cast<int32_t>(parameter.targets.size());
    return true;
}

float pluginCore::getParameterProperty(int32_t selector, int32_t index, char* text) {
    if (!validParameter(index)) {
        return -1.0f;
    }
    trace(kTraceParameterProperty, selector, index);
    const parameterRecord& parameter = parameterAt(index);
    switch (selector) {
    case kPropertyDisplay: {
        if (text == nullptr) {
            return -1.0f;
        }
        char display[kDisplayTextSize];
        const size_t length = formatDisplay(parameter, display);
        std::memcpy(text, display, length + 1);
        return 0.0f;
    }
    case kPropertyName:
        if (text == nullptr) {
            return -1.0f;
        }
        if (parameter.hidden) {
            std::strcpy(text, "(Hidden)");
        } else {
            copyFieldToText(text, parameter.name, kNameSize);
        }
        return 0.0f;
    case kPropertyLabel:
    case kPropertyUnitLabel:
        if (text == nullptr) {
            return -1.0f;
        }
        std::strcpy(text, unitFor(parameter.kind).label);
        return 0.0f;
    case kPropertyNormalized:
        return getParameterNormalized(index);
    case kPropertyValue:
        return parameter.value;
    case kPropertyMinimum:
        return parameter.minimum;
    case kPropertyMaximum:
        return parameter.maximum;
    case kPropertyAuxValue:
        return parameter.auxValue;
    case kPropertyKind:
        return static_cast<float>(parameter.kind);
    case kPropertyDataLength:
        return static_cast<float>(parameter.dataLength);
    default:
        return -1.0f;
    }
}

int32_t pluginCore::getParameterData(int32_t index, uint8_t* destination) {
    if (!validParameter(index)) {
        return 0;
    }
    return copyParameterData(parameterAt(index), destination);
}

float pluginCore::getParameterNormalized(int32_t index) {
    if (!validParameter(index)) {
        return -1.0f;
    }
    const parameterRecord& parameter = parameterAt(index);
    return normalizedFromPlain(parameter, parameter.value);
}

bool pluginCore::setParameterValue(int32_t index, float value, bool force) {
    if (!validParameter(index)) {
        return false;
    }
    parameterRecord& parameter = parameterAt(index);
    if (parameter.hidden && !force) {
        return false;
    }
    logger->traceFloat(kTraceParameterValue, static_cast<float>(index), value, 0.0f, 0.0f);
    // A value is plain when it lies on the same side of 1 as the range's top.
    if ((value >= 1.0f && parameter.maximum > 1.0f) || (value < 1.0f && parameter.maximum < 1.0f)) {
        parameter.value = value;
    } else if (parameter.kind == kSwitchKind) {
        parameter.value = value > 0.5f ? 1.0f : 0.0f;
    } else {
        return setParameterNormalized(index, value, false);
    }
    writeTargets(parameter);
    return true;
}

bool pluginCore::setParameterData(int32_t index, const uint8_t* source) {
    if (!validParameter(index)) {
        return false;
    }
    return replaceParameterData(parameterAt(index), source);
}

bool pluginCore::setParameterNormalized(int32_t index, float value, bool force) {
    if (!validParameter(index)) {
        return false;
    }
    parameterRecord& parameter = parameterAt(index);
    if (force || !parameter.hidden) {
        parameter.value = plainFromNormalized(parameter, value);
    }
    writeTargets(parameter);
    return true;
}

void pluginCore::writeTargets(const parameterRecord& parameter) {
    for (float* target : parameter.targets) {
        *target = parameter.value;
    }
}

// [SECTION] preset list

int32_t pluginCore::findPreset(const char* name) {
    if (name == nullptr) {
        return -1;
    }
    for (size_t i = 0; i < presets.size(); ++i) {
        if (fieldEquals(presets[i].name, kNameSize, name)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t pluginCore::getCurrentPreset() {
    return currentPreset;
}

int32_t pluginCore::getPresetCount() {
    return presetCount;
}

void pluginCore::getPresetName(int32_t index, char* text) {
    if (text == nullptr) {
        return;
    }
    if (index < 0 || index >= presetCount || static_cast<size_t>(index) >= presets.size()) {
        text[0] = '\0';
        return;
    }
    copyFieldToText(text, presets[static_cast<size_t>(index)].name, kNameSize);
}

void pluginCore::getPresetGroup(int32_t index, char* text) {
    if (text == nullptr) {
        return;
    }
    if (index < 0 || index >= presetCount || static_cast<size_t>(index) >= presets.size()) {
        text[0] = '\0';
        return;
    }
    copyFieldToText(text, presets[static_cast<size_t>(index)].group, kNameSize);
}

void pluginCore::getPresetGroupByName(const char* name, char* text) {
    getPresetGroup(findPreset(name), text);
}

void pluginCore::getCurrentPresetName(char* text) {
    if (text == nullptr) {
        return;
    }
    if (currentPreset >= 0 && presetCount != 0) {
        getPresetName(currentPreset, text);
    } else {
        text[0] = '\0';
    }
}

void pluginCore::selectPreset(int32_t index) {
    if (index < 0 || index >= presetCount) {
        return;
    }
    trace(kTraceSelectPreset, index);
    // Bounds are checked anew on every turn: setParameterValue is virtual and
    // a derived core may change the lists from inside it.
    for (int32_t i = 0;; ++i) {
        if (static_cast<size_t>(index) >= presets.size() || i >= parameterCount) {
            break;
        }
        const presetRecord& preset = presets[static_cast<size_t>(index)];
        if (i >= preset.entryCount || static_cast<size_t>(i) >= preset.values.size()) {
            break;
        }
        float value = preset.values[static_cast<size_t>(i)].value;
        clampToRange(parameterAt(i), value);
        setParameterValue(i, value, false);
    }
    currentPreset = index;
    trace(kTracePresetSelected);
}

void pluginCore::nextPreset() {
    trace(kTraceNextPreset);
    if (presetCount <= 0) {
        return;
    }
    const int64_t next = static_cast<int64_t>(currentPreset) + 1;
    selectPreset(next >= presetCount ? 0 : static_cast<int32_t>(next));
}

void pluginCore::previousPreset() {
    trace(kTracePreviousPreset);
    if (presetCount <= 0) {
        return;
    }
    const int64_t previous = static_cast<int64_t>(currentPreset) - 1;
    selectPreset(previous < 0 ? presetCount - 1 : static_cast<int32_t>(previous));
}

int32_t pluginCore::deletePreset(void*, const char* name) {
    const int32_t index = findPreset(name);
    if (index < 0) {
        return index;
    }
    if (static_cast<size_t>(index) >= presets.size()) {
        return -1;
    }
    presetRecord& preset = presets[static_cast<size_t>(index)];
    logger->tracePointer(kTraceDeletePreset, preset.path, nullptr, nullptr, nullptr);
    // A path that filled its field was cut when it was stored: it names some
    // other file, which must not be removed in its place.
    const bool complete = fieldLength(preset.path, kPathSize) < kPathSize;
    if (!complete || std::remove(preset.path) != 0) {
        trace(kTracePresetFileKept);
        return 0;
    }
    trace(kTracePresetFileRemoved);
    presets.erase(presets.begin() + index);
    presetCount = static_cast<int32_t>(presets.size());
    trace(kTracePresetRemoved, index);
    return 0;
}

// [SECTION] preset files

void pluginCore::sanitizeName(char* text) {
    replaceSeparators(text);
}

int32_t pluginCore::presetReserved(void* first, void* second) {
    logger->tracePointer(kTracePresetReserved, first, second, nullptr, nullptr);
    trace(kTracePresetReservedEnd);
    return 0;
}

bool pluginCore::savePreset(void* reserved, const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return false;
    }
    logger->tracePointer(kTraceSavePreset, reserved, name, nullptr, nullptr);
    if (std::strlen(name) > kNameSize || hasControlCharacter(name)) {
        return false;
    }
    std::string headerName(name);
    sanitizeName(&headerName[0]);
    const std::string fileName = absolutePath(std::string(name) + ".pre");
    const int32_t existing = findSavedPreset(presets, headerName.c_str(), fileName);
    replacementFile file(fileName);
    if (file.stream() == nullptr) {
        return false;
    }
    trace(kTracePresetFileOpened);
    if (!writePresetFile(file.stream(), headerName.c_str()) || !file.commit()) {
        return false;
    }
    if (existing < 0) {
        loadPresetFile(fileName.c_str(), nullptr);
        return true;
    }
    trace(kTracePresetUpdated);
    // Checked again: the virtual calls made while writing may have changed
    // the list.
    if (static_cast<size_t>(existing) < presets.size()) {
        presetRecord& preset = presets[static_cast<size_t>(existing)];
        const size_t count = std::min({static_cast<size_t>(std::max(preset.entryCount, 0)),
                                       preset.values.size(), parameters.size()});
        for (size_t i = 0; i < count; ++i) {
            preset.values[i].value = parameters[i].value;
        }
    }
    return false;
}

bool pluginCore::writePresetFile(std::FILE* file, const char* headerName) {
    // Nothing is written that loading would refuse.
    size_t total = 0;
    const auto put = [file, &total](const std::string& line) {
        total += line.size();
        return line.size() <= presetLineReader::kMaxLineLength + 1 &&
               total <= presetLineReader::kMaxFileLength &&
               std::fwrite(line.data(), 1, line.size(), file) == line.size();
    };
    bool written = put(presetHeaderLine(headerName, versionNumber, parameterCount));
    trace(kTracePresetHeaderWritten);
    for (int32_t i = 0; i < parameterCount && written; ++i) {
        char name[kDisplayTextSize] = {};
        getParameterProperty(kPropertyName, i, name);
        name[sizeof name - 1] = '\0';
        sanitizeName(name);
        const int32_t kind = truncateToInt32(getParameterProperty(kPropertyKind, i, nullptr));
        const int32_t dataLength =
            truncateToInt32(getParameterProperty(kPropertyDataLength, i, nullptr));
        written = put(presetEntryLine(i, name, kind, dataLength, parameterAt(i)));
    }
    return written && std::ferror(file) == 0;
}

void pluginCore::loadPresetFile(const char* path, const char* group) {
    logger->tracePointer(kTraceLoadPreset, path, group, nullptr, nullptr);
    if (path == nullptr || !hasPresetExtension(path)) {
        return;
    }
    // Only a regular file has an end: a device or a pipe could be read, or
    // waited on, for ever.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return;
    }
    std::unique_ptr<std::FILE, fileCloser> file(std::fopen(path, "r"));
    if (file == nullptr) {
        return;
    }
    presetRecord preset;
    copyToField(preset.path, kPathSize, absolutePath(path).c_str());
    copyToField(preset.group, kNameSize, group);
    if (!readPresetFile(file.get(), preset, parameters.data(), parameterCount, *logger)) {
        return;
    }
    presets.push_back(std::move(preset));
    presetCount = static_cast<int32_t>(presets.size());
    file.reset();
    trace(kTracePresetAdded);
}

// [SECTION] MIDI, byte messages and tuning

void pluginCore::midiMessage(int32_t status, int32_t tag, int32_t data1, int32_t data2,
                             int32_t delay) {
    midiHandler::message(*this, status, tag, data1, data2, delay);
}

void pluginCore::receiveData(int32_t length, const uint8_t* bytes) {
    midiHandler::receive(*this, length, bytes);
}

void pluginCore::setTuning(float referenceHz) {
    logger->traceFloat(kTraceTuning, referenceHz, 0.0f, 0.0f, 0.0f);
    midiHandler::fillPitchTable(pitchTable, referenceHz);
}

void pluginCore::onControlChange(int32_t, int32_t) {}

void pluginCore::onNoteOn(int32_t, int32_t) {}

void pluginCore::onNoteOff(int32_t) {}

void pluginCore::onData(int32_t, uint8_t) {}
