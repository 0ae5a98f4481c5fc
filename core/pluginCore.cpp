// [SECTION] index
//   construction and frame counting
//   parameters
//   preset list
//   preset files
//   MIDI, byte messages and tuning
#include "core/pluginCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "core/numberText.h"
#include "core/presetLineReader.h"
#include "core/textField.h"
#include "core/unitTable.h"
#include "events/eventRecord.h"

namespace {

constexpr int32_t noteOffStatus = 0x80;
constexpr int32_t noteOnStatus = 0x90;
constexpr int32_t polyPressureStatus = 0xA0;
constexpr int32_t controllerStatus = 0xB0;
constexpr int32_t programChangeStatus = 0xC0;
constexpr int32_t channelPressureStatus = 0xD0;
constexpr int32_t allSoundOffController = 120;
constexpr int32_t allNotesOffController = 123;
constexpr int32_t initialVersion = 1000;
constexpr char separator = ':';

bool validNote(int32_t number) {
    return number >= 0 && number < pluginCore::noteCount;
}

bool hasPresetExtension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && std::strcmp(dot, ".pre") == 0;
}

struct fileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

// [SECTION] construction and frame counting

pluginCore::pluginCore()
    : logger(std::make_unique<binaryLogger>()), parameterCount(0), versionNumber(0),
      frameCounter(0), presetCount(0), currentPreset(-1), pitchTable{}, controllerMap{},
      activeNoteCount(0), learnIndex(-1) {
    trace(15, initialVersion);
    versionNumber = initialVersion;
    // Notes are unique numbers 0..127, so the list never grows past this and
    // a note-on delivered on the audio thread allocates nothing.
    notes.reserve(noteCount);
    pluginCore::setTuning(440.0f);
    std::fill(std::begin(controllerMap), std::end(controllerMap), -1);
    trace(2);
}

pluginCore::~pluginCore() {
    for (presetRecord& preset : presets) {
        preset.values.clear();
    }
    for (parameterRecord& parameter : parameters) {
        parameter.targets.clear();
        if (parameter.kind == stringKind || parameter.kind == chunkKind) {
            std::free(parameter.data);
            parameter.data = nullptr;
        }
    }
    parameters.clear();
    trace(3);
    logger.reset();
}

void pluginCore::onEvent(eventRecord* record) {
    if (record == nullptr) {
        trace(50);
        return;
    }
    switch (record->eventKind) {
    case 0:
        trace(7);
        break;
    case 1:
        trace(8);
        midiMessage(record->status, record->tag, record->data1, record->data2, 0);
        break;
    default:
        trace(50);
        break;
    }
}

int32_t pluginCore::getVersion() {
    return versionNumber;
}

void pluginCore::setVersion(int32_t version) {
    trace(15, version);
    versionNumber = version;
}

void pluginCore::process(float**, float**, int32_t frames) {
    trace(11, frames);
    advanceFrames(frames);
}

void pluginCore::advanceFrames(int32_t frames) {
    frameCounter =
        static_cast<int32_t>(static_cast<uint32_t>(frameCounter) + static_cast<uint32_t>(frames));
    events.advance(frameCounter);
}

int32_t pluginCore::initialize() {
    trace(12);
    return 0;
}

void pluginCore::trace(int32_t code, int32_t a, int32_t b, int32_t c, int32_t d) {
    logger->traceInteger(code, a, b, c, d);
}

// [SECTION] parameters

int32_t pluginCore::addParameter(const char* name, int32_t kind, float minimum, float maximum,
                                 float value, int32_t dataLength, bool hidden, float auxValue) {
    if (parameterCount >= maxParameters || kind < 0 || kind >= unitKindCount ||
        !(minimum < maximum) || (kind == logarithmicKind && !(minimum > 0.0f))) {
        return -1;
    }
    parameterRecord parameter;
    copyToField(parameter.name, nameSize, name);
    parameter.value = value;
    parameter.kind = kind;
    parameter.dataLength = dataLength;
    parameter.minimum = minimum;
    parameter.maximum = maximum;
    parameter.auxValue = auxValue;
    parameter.hidden = hidden;
    if ((kind == stringKind || kind == chunkKind) && dataLength > 0) {
        parameter.data = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(dataLength), 1));
        if (parameter.data == nullptr) {
            return -1;
        }
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
    trace(9, selector, index);
    const parameterRecord& parameter = parameterAt(index);
    switch (selector) {
    case 0: {
        if (text == nullptr) {
            return -1.0f;
        }
        char display[displayTextSize];
        const size_t length = formatDisplay(parameter, display);
        std::memcpy(text, display, length + 1);
        return 0.0f;
    }
    case 1:
        if (text == nullptr) {
            return -1.0f;
        }
        if (parameter.hidden) {
            std::strcpy(text, "(Hidden)");
        } else {
            copyFieldToText(text, parameter.name, nameSize);
        }
        return 0.0f;
    case 2:
    case 8:
        if (text == nullptr) {
            return -1.0f;
        }
        std::strcpy(text, unitFor(parameter.kind).label);
        return 0.0f;
    case 3:
        return getParameterNormalized(index);
    case 4:
        return parameter.value;
    case 5:
        return parameter.minimum;
    case 6:
        return parameter.maximum;
    case 7:
        return parameter.auxValue;
    case 9:
        return static_cast<float>(parameter.kind);
    case 10:
        return static_cast<float>(parameter.dataLength);
    default:
        return -1.0f;
    }
}

int32_t pluginCore::getParameterData(int32_t index, uint8_t* destination) {
    if (!validParameter(index)) {
        return 0;
    }
    const parameterRecord& parameter = parameterAt(index);
    if (parameter.dataLength <= 0 || parameter.data == nullptr || destination == nullptr) {
        return 0;
    }
    std::memcpy(destination, parameter.data, static_cast<size_t>(parameter.dataLength));
    return parameter.dataLength;
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
    logger->traceFloat(13, static_cast<float>(index), value, 0.0f, 0.0f);
    // A value is plain when it lies on the same side of 1 as the range's top.
    if ((value >= 1.0f && parameter.maximum > 1.0f) || (value < 1.0f && parameter.maximum < 1.0f)) {
        parameter.value = value;
    } else if (parameter.kind == switchKind) {
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
    parameterRecord& parameter = parameterAt(index);
    if (parameter.dataLength < 0) {
        return false;
    }
    const size_t length = static_cast<size_t>(parameter.dataLength);
    if (parameter.kind == stringKind) {
        if (length == 0 || parameter.data == nullptr) {
            return false;
        }
        size_t copied = 0;
        if (source != nullptr) {
            while (copied < length && source[copied] != 0) {
                parameter.data[copied] = source[copied];
                ++copied;
            }
        }
        std::memset(parameter.data + copied, 0, length - copied);
        return true;
    }
    if (parameter.kind == chunkKind) {
        if (length == 0 || parameter.data == nullptr || source == nullptr) {
            return false;
        }
        std::memcpy(parameter.data, source, length);
        return true;
    }
    return true;
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

void pluginCore::clampToParameter(int32_t index, float& value) const {
    const parameterRecord& parameter = parameters[static_cast<size_t>(index)];
    if (value > parameter.maximum) {
        value = parameter.maximum;
    } else if (value < parameter.minimum) {
        value = parameter.minimum;
    }
}

// [SECTION] preset list

int32_t pluginCore::findPreset(const char* name) {
    if (name == nullptr) {
        return -1;
    }
    for (size_t i = 0; i < presets.size(); ++i) {
        if (fieldEquals(presets[i].name, nameSize, name)) {
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
    copyFieldToText(text, presets[static_cast<size_t>(index)].name, nameSize);
}

void pluginCore::getPresetGroup(int32_t index, char* text) {
    if (text == nullptr) {
        return;
    }
    if (index < 0 || index >= presetCount || static_cast<size_t>(index) >= presets.size()) {
        text[0] = '\0';
        return;
    }
    copyFieldToText(text, presets[static_cast<size_t>(index)].group, nameSize);
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
    trace(31, index);
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
        clampToParameter(i, value);
        setParameterValue(i, value, false);
    }
    currentPreset = index;
    trace(32);
}

void pluginCore::nextPreset() {
    trace(33);
    if (presetCount <= 0) {
        return;
    }
    const int64_t next = static_cast<int64_t>(currentPreset) + 1;
    selectPreset(next >= presetCount ? 0 : static_cast<int32_t>(next));
}

void pluginCore::previousPreset() {
    trace(34);
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
    logger->tracePointer(27, preset.path, nullptr, nullptr, nullptr);
    // A path that filled its field was cut when it was stored: it names some
    // other file, which must not be removed in its place.
    const bool complete = fieldLength(preset.path, pathSize) < pathSize;
    if (!complete || std::remove(preset.path) != 0) {
        trace(30);
        return 0;
    }
    trace(28);
    presets.erase(presets.begin() + index);
    presetCount = static_cast<int32_t>(presets.size());
    trace(29, index);
    return 0;
}

// [SECTION] preset files

void pluginCore::sanitizeName(char* text) {
    if (text == nullptr) {
        return;
    }
    for (char* p = text; *p != '\0'; ++p) {
        if (*p == separator) {
            *p = '-';
        }
    }
}

int32_t pluginCore::presetReserved(void* first, void* second) {
    logger->tracePointer(47, first, second, nullptr, nullptr);
    trace(49);
    return 0;
}

bool pluginCore::savePreset(void* reserved, const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return false;
    }
    logger->tracePointer(42, reserved, name, nullptr, nullptr);
    const int32_t existing = findPreset(name);
    const std::string fileName = std::string(name) + ".pre";
    std::FILE* file = std::fopen(fileName.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    trace(43);
    std::string headerName(name);
    sanitizeName(&headerName[0]);
    bool written = writePresetFile(file, headerName.c_str());
    written = std::fclose(file) == 0 && written;
    if (!written) {
        return false;
    }
    if (existing < 0) {
        loadPresetFile(fileName.c_str(), nullptr);
        return true;
    }
    trace(45);
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
    char number[fixedTextSize];
    std::string line(headerName);
    line += separator;
    formatInteger(versionNumber, number, sizeof number);
    line += number;
    line += separator;
    formatInteger(parameterCount, number, sizeof number);
    line += number;
    line += separator;
    line += '\n';
    bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    trace(44);
    for (int32_t i = 0; i < parameterCount && written; ++i) {
        char name[displayTextSize] = {};
        getParameterProperty(1, i, name);
        name[sizeof name - 1] = '\0';
        sanitizeName(name);
        const int32_t kind = truncateToInt32(getParameterProperty(9, i, nullptr));
        const int32_t dataLength = truncateToInt32(getParameterProperty(10, i, nullptr));
        line.clear();
        formatInteger(i, number, sizeof number);
        line += number;
        line += separator;
        line += name;
        line += separator;
        formatInteger(kind, number, sizeof number);
        line += number;
        line += separator;
        formatInteger(dataLength, number, sizeof number);
        line += number;
        line += separator;
        const parameterRecord& parameter = parameterAt(i);
        const size_t length = static_cast<size_t>(std::max(parameter.dataLength, 0));
        if (parameter.kind == stringKind) {
            if (parameter.data != nullptr) {
                const char* text = reinterpret_cast<const char*>(parameter.data);
                line.append(text, fieldLength(text, length));
            }
        } else if (parameter.kind == chunkKind) {
            if (parameter.data != nullptr) {
                line.append(reinterpret_cast<const char*>(parameter.data), length);
            }
        } else {
            formatFixed(static_cast<double>(parameter.value), 6, number, sizeof number);
            line += number;
        }
        line += separator;
        line += '\n';
        written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
    return written && std::ferror(file) == 0;
}

void pluginCore::loadPresetFile(const char* path, const char* group) {
    logger->tracePointer(35, path, group, nullptr, nullptr);
    if (path == nullptr || !hasPresetExtension(path)) {
        return;
    }
    std::unique_ptr<std::FILE, fileCloser> file(std::fopen(path, "r"));
    if (file == nullptr) {
        return;
    }
    presetRecord preset;
    copyToField(preset.path, pathSize, path);
    copyToField(preset.group, nameSize, group);

    presetLineReader reader(file.get());
    if (!reader.next()) {
        return;
    }
    char* cursor = reader.text();
    bool nameEnded = false;
    bool versionEnded = false;
    bool countEnded = false;
    const char* name = presetLineReader::nextField(cursor, nameEnded);
    const char* version = presetLineReader::nextField(cursor, versionEnded);
    const char* count = presetLineReader::nextField(cursor, countEnded);
    if (!nameEnded || !versionEnded || !countEnded) {
        return;
    }
    copyToField(preset.name, nameSize, name);
    logger->tracePointer(36, preset.name, nullptr, nullptr, nullptr);
    trace(37, readInteger(version));
    bool numeric = false;
    const int32_t entryCount = readInteger(count, &numeric);
    trace(38, entryCount);
    // A count that is no number, negative or beyond any table refuses the
    // whole file rather than inventing or allocating entries.
    if (!numeric || entryCount < 0 || entryCount > maxParameters) {
        return;
    }
    preset.entryCount = entryCount;
    preset.values.resize(static_cast<size_t>(entryCount));

    // Entries the file announces but lacks, and fields a line lacks, read as
    // empty text: names empty, numbers 0, and the value 0 goes through the
    // same clamping as any value read.
    for (int32_t i = 0; i < entryCount; ++i) {
        parameterRecord& entry = preset.values[static_cast<size_t>(i)];
        double value = 0.0;
        if (reader.next()) {
            cursor = reader.text();
            bool ended = false;
            presetLineReader::nextField(cursor, ended); // the written index: unused
            copyToField(entry.name, nameSize, presetLineReader::nextField(cursor, ended));
            entry.kind = readInteger(presetLineReader::nextField(cursor, ended));
            entry.dataLength = readInteger(presetLineReader::nextField(cursor, ended));
            trace(39, i, entry.kind, entry.dataLength);
            value = readDouble(presetLineReader::nextField(cursor, ended));
        }
        entry.value = std::isnan(value) ? 0.0f : toFloat(value);
        if (i < parameterCount) {
            clampToParameter(i, entry.value);
        }
        logger->traceFloat(40, entry.value, 0.0f, 0.0f, 0.0f);
    }
    presets.push_back(std::move(preset));
    presetCount = static_cast<int32_t>(presets.size());
    file.reset();
    trace(41);
}

// [SECTION] MIDI, byte messages and tuning

void pluginCore::midiMessage(int32_t status, int32_t tag, int32_t data1, int32_t data2,
                             int32_t delay) {
    if (delay > 0) {
        trace(17, data1, data2, delay);
        auto* record = static_cast<eventRecord*>(std::malloc(sizeof(eventRecord)));
        if (record == nullptr) {
            return;
        }
        std::memset(record, 0, sizeof(eventRecord));
        record->eventKind = 1;
        record->status = status;
        record->tag = tag;
        record->data1 = data1;
        record->data2 = data2;
        events.schedule(this, delay, record, false);
        return;
    }
    switch (status) {
    case noteOffStatus:
        trace(18, data1);
        handleNoteOff(data1);
        break;
    case noteOnStatus: {
        trace(19, data1, data2);
        if (!validNote(data1)) {
            break;
        }
        if (data2 == 0) {
            handleNoteOff(data1);
            break;
        }
        const auto sounding = std::find_if(
            notes.begin(), notes.end(), [data1](const noteRecord& n) { return n.note == data1; });
        if (sounding != notes.end()) {
            sounding->velocity = data2;
            break;
        }
        notes.push_back(noteRecord{tag, data1, data2, pitchTable[data1]});
        activeNoteCount = static_cast<int32_t>(notes.size());
        onNoteOn(data1, data2);
        break;
    }
    case polyPressureStatus: {
        trace(20, data1);
        const auto sounding = std::find_if(
            notes.begin(), notes.end(), [data1](const noteRecord& n) { return n.note == data1; });
        if (sounding != notes.end()) {
            sounding->velocity = data2;
        }
        break;
    }
    case controllerStatus:
        handleController(tag, data1, data2);
        break;
    case programChangeStatus:
        trace(23, data1);
        selectPreset(data1);
        break;
    case channelPressureStatus:
        trace(24);
        for (noteRecord& note : notes) {
            note.velocity = truncateToInt32(static_cast<double>(note.velocity) *
                                            static_cast<double>(data1) / 127.0);
        }
        break;
    default:
        break;
    }
}

void pluginCore::handleNoteOff(int32_t note) {
    const auto sounding = std::find_if(notes.begin(), notes.end(),
                                       [note](const noteRecord& n) { return n.note == note; });
    if (sounding == notes.end()) {
        return;
    }
    onNoteOff(sounding->note);
    // Looked up again: the hook may have changed the list.
    const auto again = std::find_if(notes.begin(), notes.end(),
                                    [note](const noteRecord& n) { return n.note == note; });
    if (again != notes.end()) {
        removeNote(static_cast<size_t>(again - notes.begin()));
    }
}

void pluginCore::removeNote(size_t position) {
    notes.erase(notes.begin() + static_cast<std::ptrdiff_t>(position));
    activeNoteCount = static_cast<int32_t>(notes.size());
    trace(16, static_cast<int32_t>(position));
}

void pluginCore::handleController(int32_t tag, int32_t controller, int32_t value) {
    trace(21, controller, value);
    if (controller < 0 || controller >= noteCount) {
        return;
    }
    if (controller == allSoundOffController || controller == allNotesOffController) {
        activeNoteCount = 0;
        notes.clear();
        return;
    }
    if (learnIndex >= 0) {
        trace(21, controller);
        if (learnIndex < parameterCount) {
            controllerMap[controller] = learnIndex;
            learnIndex = -1;
        }
        return;
    }
    controllerQueue.push(controllerRecord{tag, controller, value});
    onControlChange(controller, value);
    const int32_t mapped = controllerMap[controller];
    if (mapped >= 0) {
        // value / 128 as a float: 0..127 maps to 0..0.9921875.
        setParameterValue(mapped, static_cast<float>(value) * 0.0078125f, false);
    }
}

void pluginCore::receiveData(int32_t length, const uint8_t* bytes) {
    if (length <= 0 || bytes == nullptr) {
        return;
    }
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (copy == nullptr) {
        return;
    }
    std::memcpy(copy.get(), bytes, static_cast<size_t>(length));
    const uint8_t firstByte = bytes[0];
    dataQueue.push(byteMessageRecord{length, std::move(copy)});
    onData(length, firstByte);
}

void pluginCore::setTuning(float referenceHz) {
    logger->traceFloat(26, referenceHz, 0.0f, 0.0f, 0.0f);
    // r is the float nearest to the twelfth root of 2, held as a double.
    const double r = 1.0594631433486938;
    const long double rl = r;
    const long double start = static_cast<long double>(referenceHz) * 0.015625L * (rl * rl * rl);
    float f = std::fabs(start) <= std::numeric_limits<float>::max()
                  ? static_cast<float>(start)
                  : toFloat(static_cast<double>(start));
    for (float& pitch : pitchTable) {
        pitch = f;
        f = toFloat(static_cast<double>(f) * r);
    }
}

void pluginCore::onControlChange(int32_t, int32_t) {}

void pluginCore::onNoteOn(int32_t, int32_t) {}

void pluginCore::onNoteOff(int32_t) {}

void pluginCore::onData(int32_t, uint8_t) {}
