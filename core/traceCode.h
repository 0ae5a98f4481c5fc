#pragma once

#include <cstdint>

// The codes the core's operations report to its logger, and what each report
// carries. The values are fixed: a recording logger tells reports apart by
// them alone.
enum traceCode : int32_t {
    kTraceConstructed = 2,          // none: end of construction
    kTraceDestroyed = 3,            // none: the parameter table is released
    kTraceEmptyEvent = 7,           // none: a deferred event of kind 0
    kTraceMidiEvent = 8,            // none: a deferred MIDI message, before it is handled
    kTraceParameterProperty = 9,    // integer: selector, index
    kTraceProcess = 11,             // integer: frames
    kTraceInitialize = 12,          // none
    kTraceParameterValue = 13,      // float: index, value
    kTraceVersion = 15,             // integer: version
    kTraceNoteRemoved = 16,         // integer: position in the note list
    kTraceMidiDeferred = 17,        // integer: data1, data2, delay
    kTraceNoteOff = 18,             // integer: note
    kTraceNoteOn = 19,              // integer: note, velocity
    kTracePolyPressure = 20,        // integer: note
    kTraceController = 21,          // integer: controller, value; controller alone when learned
    kTraceProgramChange = 23,       // integer: program
    kTraceChannelPressure = 24,     // none
    kTraceTuning = 26,              // float: reference pitch
    kTraceDeletePreset = 27,        // pointer: the preset's file path
    kTracePresetFileRemoved = 28,   // none
    kTracePresetRemoved = 29,       // integer: index in the list
    kTracePresetFileKept = 30,      // none: the file could not be removed
    kTraceSelectPreset = 31,        // integer: index
    kTracePresetSelected = 32,      // none
    kTraceNextPreset = 33,          // none
    kTracePreviousPreset = 34,      // none
    kTraceLoadPreset = 35,          // pointer: path, group
    kTracePresetName = 36,          // pointer: the name read from the header
    kTracePresetVersion = 37,       // integer: the version read from the header
    kTracePresetEntryCount = 38,    // integer: the entry count read from the header
    kTracePresetEntry = 39,         // integer: index, kind, data length
    kTracePresetEntryValue = 40,    // float: the value as stored
    kTracePresetAdded = 41,         // none
    kTraceSavePreset = 42,          // pointer: first argument, name
    kTracePresetFileOpened = 43,    // none: open for writing
    kTracePresetHeaderWritten = 44, // none
    kTracePresetUpdated = 45,       // none: an existing preset took the current values
    kTracePresetReserved = 47,      // pointer: both arguments
    kTracePresetReservedEnd = 49,   // none
    kTraceUnknownEvent = 50,        // none: no record, or a kind other than 0 and 1
};
