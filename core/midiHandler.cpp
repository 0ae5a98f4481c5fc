#include "core/midiHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "core/numberText.h"
#include "core/pluginCore.h"
#include "events/eventRecord.h"

namespace {

bool validMidiNumber(int32_t number) {
    return number >= 0 && number < kMidiNumberCount;
}

// The first sounding note with this number, or null.
noteRecord* findNote(std::vector<noteRecord>& notes, int32_t note) {
    const auto found = std::find_if(notes.begin(), notes.end(),
                                    [note](const noteRecord& n) { return n.note == note; });
    return found == notes.end() ? nullptr : &*found;
}

} // namespace

void midiHandler::message(pluginCore& core, int32_t status, int32_t tag, int32_t data1,
                          int32_t data2, int32_t delay) {
    if (delay > 0) {
        core.trace(kTraceMidiDeferred, data1, data2, delay);
        auto* record = static_cast<eventRecord*>(std::malloc(sizeof(eventRecord)));
        if (record == nullptr) {
            return;
        }
        std::memset(record, 0, sizeof(eventRecord));
        record->eventKind = kEventKindMidi;
        record->status = status;
        record->tag = tag;
        record->data1 = data1;
        record->data2 = data2;
        core.events.schedule(&core, delay, record, false);
        return;
    }
    switch (status) {
    case kNoteOffStatus:
        core.trace(kTraceNoteOff, data1);
        noteOff(core, data1);
        break;
    case kNoteOnStatus:
        core.trace(kTraceNoteOn, data1, data2);
        noteOn(core, tag, data1, data2);
        break;
    case kPolyPressureStatus:
        core.trace(kTracePolyPressure, data1);
        if (noteRecord* sounding = findNote(core.notes, data1)) {
            sounding->velocity = data2;
        }
        break;
    case kControllerStatus:
        controller(core, tag, data1, data2);
        break;
    case kProgramChangeStatus:
        core.trace(kTraceProgramChange, data1);
        core.selectPreset(data1);
        break;
    case kChannelPressureStatus:
        core.trace(kTraceChannelPressure);
        for (noteRecord& note : core.notes) {
            note.velocity = truncateToInt32(static_cast<double>(note.velocity) *
                                            static_cast<double>(data1) / 127.0);
        }
        break;
    default:
        break;
    }
}

void midiHandler::noteOn(pluginCore& core, int32_t tag, int32_t note, int32_t velocity) {
    if (!validMidiNumber(note)) {
        return;
    }
    if (velocity == 0) {
        noteOff(core, note);
        return;
    }
    if (noteRecord* sounding = findNote(core.notes, note)) {
        sounding->velocity = velocity;
        return;
    }
    core.notes.push_back(noteRecord{tag, note, velocity, core.pitchTable[note]});
    core.activeNoteCount = static_cast<int32_t>(core.notes.size());
    core.onNoteOn(note, velocity);
}

void midiHandler::noteOff(pluginCore& core, int32_t note) {
    const noteRecord* sounding = findNote(core.notes, note);
    if (sounding == nullptr) {
        return;
    }
    core.onNoteOff(sounding->note);
    // Looked up again: the hook may have changed the list.
    if (const noteRecord* again = findNote(core.notes, note)) {
        removeNote(core, static_cast<size_t>(again - core.notes.data()));
    }
}

void midiHandler::removeNote(pluginCore& core, size_t position) {
    core.notes.erase(core.notes.begin() + static_cast<std::ptrdiff_t>(position));
    core.activeNoteCount = static_cast<int32_t>(core.notes.size());
    core.trace(kTraceNoteRemoved, static_cast<int32_t>(position));
}

void midiHandler::controller(pluginCore& core, int32_t tag, int32_t controller, int32_t value) {
    core.trace(kTraceController, controller, value);
    if (!validMidiNumber(controller)) {
        return;
    }
    if (controller == kAllSoundOffController || controller == kAllNotesOffController) {
        core.activeNoteCount = 0;
        core.notes.clear();
        return;
    }
    if (core.learnIndex >= 0) {
        core.trace(kTraceController, controller);
        if (core.learnIndex < core.parameterCount) {
            core.controllerMap[controller] = core.learnIndex;
            core.learnIndex = -1;
        }
        return;
    }
    core.controllerQueue.push(controllerRecord{tag, controller, value});
    core.onControlChange(controller, value);
    const int32_t mapped = core.controllerMap[controller];
    if (mapped >= 0) {
        // value / 128 as a float: 0..127 maps to 0..0.9921875.
        core.setParameterValue(mapped, static_cast<float>(value) * 0.0078125f, false);
    }
}

void midiHandler::receive(pluginCore& core, int32_t length, const uint8_t* bytes) {
    if (length <= 0 || bytes == nullptr) {
        return;
    }
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (copy == nullptr) {
        return;
    }
    std::memcpy(copy.get(), bytes, static_cast<size_t>(length));
    const uint8_t firstByte = bytes[0];
    core.dataQueue.push(byteMessageRecord{length, std::move(copy)});
    core.onData(length, firstByte);
}

void midiHandler::fillPitchTable(float (&table)[kMidiNumberCount], float referenceHz) {
    // r is the float nearest to the twelfth root of 2, held as a double.
    const double r = 1.0594631433486938;
    const long double rl = r;
    const long double start = static_cast<long double>(referenceHz) * 0.015625L * (rl * rl * rl);
    float f = std::fabs(start) <= std::numeric_limits<float>::max()
                  ? static_cast<float>(start)
                  : toFloat(static_cast<double>(start));
    for (float& pitch : table) {
        pitch = f;
        f = toFloat(static_cast<double>(f) * r);
    }
}
