#pragma once

#include <cstddef>
#include <cstdint>

class pluginCore;

// MIDI channel messages as the core handles them: the message types (the
// status with its channel bits cleared) and the controllers that silence
// every note.
constexpr int32_t kNoteOffStatus = 0x80;
constexpr int32_t kNoteOnStatus = 0x90;
constexpr int32_t kPolyPressureStatus = 0xA0;
constexpr int32_t kControllerStatus = 0xB0;
constexpr int32_t kProgramChangeStatus = 0xC0;
constexpr int32_t kChannelPressureStatus = 0xD0;
constexpr int32_t kAllSoundOffController = 120;
constexpr int32_t kAllNotesOffController = 123;

// Note and controller numbers run 0..127.
constexpr int32_t kMidiNumberCount = 128;

// The MIDI part of a core: sounding notes, controllers mapped to parameters,
// program changes, pressure, byte messages and the pitch table. The core's
// virtual operations call it; it calls the core's hooks and operations back
// through their slots, so a derived core's overrides take effect.
class midiHandler {
public:
    // One channel message, now or after delay sample frames.
    static void message(pluginCore& core, int32_t status, int32_t tag, int32_t data1, int32_t data2,
                        int32_t delay);
    // A byte message: queued as a copy, then announced to onData.
    static void receive(pluginCore& core, int32_t length, const uint8_t* bytes);
    // Equal temperament around referenceHz for note 69. Each entry is rounded
    // to a float before the next one is derived from it.
    static void fillPitchTable(float (&table)[kMidiNumberCount], float referenceHz);

private:
    static void noteOn(pluginCore& core, int32_t tag, int32_t note, int32_t velocity);
    static void noteOff(pluginCore& core, int32_t note);
    static void removeNote(pluginCore& core, size_t position);
    static void controller(pluginCore& core, int32_t tag, int32_t controller, int32_t value);
};
