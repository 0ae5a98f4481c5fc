#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/boundedQueue.h"
#include "core/byteMessageRecord.h"
#include "core/controllerRecord.h"
#include "core/midiHandler.h"
#include "core/noteRecord.h"
#include "core/parameterRecord.h"
#include "core/presetRecord.h"
#include "core/traceCode.h"
#include "events/binaryLogger.h"
#include "events/eventListener.h"
#include "events/eventManager.h"

// The generic plug-in core: a parameter table with units, a preset list with
// preset files, frame counting with deferred events, and MIDI handling.
// The core calls its own operations through their virtual slots, so a derived
// core that overrides one changes every path that uses it. The slot order
// below is fixed; append new virtual operations only after onData.
//
// Text buffers handed in for a name must hold 25 characters (24 and a
// terminator); display texts are at most 63 characters.
//
// Preset files: savePreset(name) writes the file name + ".pre", in the
// current directory unless the name holds a path. A name longer than the
// 24 characters of a preset's name field is refused, so a saved preset
// always bears the whole name its file was saved under, and two names never
// share a preset or a file; so is a name with a control character (a line
// break, a tab), which the file's header line could not hold. A save
// replaces its file whole or not at all (core/replacementFile.h), and
// updates the preset that was read from that same file under that name;
// otherwise it adds one. savePreset answers true when it wrote the file and
// added a preset for it; false when nothing was written, and false too
// after an update, which rewrote the file of a preset already listed: true
// always means the list grew. Each preset remembers its file by an absolute
// path from the moment it is loaded or saved, so a later change of the
// working folder redirects neither its update nor deletePreset, which
// removes that file. Files written elsewhere still load: a longer name in
// their header is cut to 24 characters, and the preset bears the cut name.
class pluginCore : public eventListener {
public:
    static constexpr size_t kNameSize = 24;
    static constexpr size_t kPathSize = 384;
    static constexpr int32_t kNoteCount = kMidiNumberCount;
    // Queued controller and byte messages beyond this drop the oldest.
    static constexpr size_t kQueueCapacity = 1024;
    // Largest parameter table, and largest entry count a preset file may
    // announce.
    static constexpr int32_t kMaxParameters = 16384;

    // What getParameterProperty reads. The four texts are written into the
    // caller's buffer and answer 0; the others are the answer.
    enum parameterProperty : int32_t {
        kPropertyDisplay = 0,    // text: the value as the kind shows it
        kPropertyName = 1,       // text: the name, or "(Hidden)"
        kPropertyLabel = 2,      // text: the unit label of the kind
        kPropertyNormalized = 3, // through getParameterNormalized
        kPropertyValue = 4,
        kPropertyMinimum = 5,
        kPropertyMaximum = 6,
        kPropertyAuxValue = 7,
        kPropertyUnitLabel = 8, // text: the unit label again
        kPropertyKind = 9,
        kPropertyDataLength = 10,
    };

    pluginCore();
    ~pluginCore() override; // slot 0
    pluginCore(const pluginCore&) = delete;
    pluginCore& operator=(const pluginCore&) = delete;

    void onEvent(eventRecord* record) override;                                      // slot 1
    virtual float getParameterProperty(int32_t selector, int32_t index, char* text); // 2
    virtual int32_t getParameterData(int32_t index, uint8_t* destination);           // 3
    virtual float getParameterNormalized(int32_t index);                             // 4
    virtual int32_t getVersion();                                                    // 5
    virtual void process(float** inputs, float** outputs, int32_t frames);           // 6
    virtual int32_t initialize();                                                    // 7
    virtual bool setParameterValue(int32_t index, float value, bool force);          // 8
    virtual bool setParameterData(int32_t index, const uint8_t* source);             // 9
    virtual bool setParameterNormalized(int32_t index, float value, bool force);     // 10
    virtual void setVersion(int32_t version);                                        // 11
    virtual int32_t deletePreset(void* reserved, const char* name);                  // 12
    virtual int32_t findPreset(const char* name);                                    // 13
    virtual int32_t getCurrentPreset();                                              // 14
    virtual void getCurrentPresetName(char* text);                                   // 15
    virtual int32_t getPresetCount();                                                // 16
    virtual void getPresetName(int32_t index, char* text);                           // 17
    virtual void getPresetGroup(int32_t index, char* text);                          // 18
    virtual void getPresetGroupByName(const char* name, char* text);                 // 19
    virtual void selectPreset(int32_t index);                                        // 20
    virtual void nextPreset();                                                       // 21
    virtual void previousPreset();                                                   // 22
    virtual void loadPresetFile(const char* path, const char* group);                // 23
    virtual bool savePreset(void* reserved, const char* name);                       // 24
    virtual int32_t presetReserved(void* first, void* second);                       // 25
    virtual void sanitizeName(char* text);                                           // 26
    virtual void onControlChange(int32_t controller, int32_t value);                 // 27
    virtual void onNoteOn(int32_t note, int32_t velocity);                           // 28
    virtual void onNoteOff(int32_t note);                                            // 29
    virtual void midiMessage(int32_t status, int32_t tag, int32_t data1, int32_t data2,
                             int32_t delay);                        // 30
    virtual void receiveData(int32_t length, const uint8_t* bytes); // 31
    virtual void setTuning(float referenceHz);                      // 32
    virtual void onData(int32_t length, uint8_t firstByte);         // 33

protected:
    // Adds frames to frameCounter (wrapping) and advances the event manager
    // to it, which delivers due deferred events. No trace: derived cores call
    // it from their own process.
    void advanceFrames(int32_t frames);

    // Appends a parameter while a derived core is being built and returns its
    // index, or -1 when the record would break the table's rules: kind
    // outside 0..29, minimum not below maximum, a logarithmic range not above
    // 0, or a full table. Kinds 28 and 29 get dataLength zero bytes of data.
    int32_t addParameter(const char* name, int32_t kind, float minimum, float maximum, float value,
                         int32_t dataLength = 0, bool hidden = false, float auxValue = 0.0f);
    // Adds a place outside the core that mirrors the parameter's value.
    bool addParameterTarget(int32_t index, float* target);

    std::vector<parameterRecord> parameters; // the parameter table
    eventManager events;
    std::unique_ptr<binaryLogger> logger;
    int32_t parameterCount;
    int32_t versionNumber;
    int32_t frameCounter;
    std::vector<presetRecord> presets;
    int32_t presetCount;
    int32_t currentPreset;
    std::vector<noteRecord> notes; // sounding notes, oldest first
    boundedQueue<controllerRecord, kQueueCapacity> controllerQueue;
    boundedQueue<byteMessageRecord, kQueueCapacity> dataQueue;
    float pitchTable[kNoteCount];
    int32_t controllerMap[kNoteCount]; // parameter index per controller, or -1
    int32_t activeNoteCount;
    int32_t learnIndex; // parameter waiting for the next controller, or -1

private:
    friend class midiHandler;

    bool validParameter(int32_t index) const { return index >= 0 && index < parameterCount; }
    parameterRecord& parameterAt(int32_t index) { return parameters[static_cast<size_t>(index)]; }
    void writeTargets(const parameterRecord& parameter);
    void trace(traceCode code, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0);
    bool writePresetFile(std::FILE* file, const char* headerName);
};
