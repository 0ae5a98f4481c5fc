#pragma once

#include <cstdint>
#include <vector>

#include "core/pluginCore.h"

// A derived core as a product would write one, recording every hook the base
// calls. Its state is opened up for the tests.
class testCore : public pluginCore {
public:
    struct valueCall {
        int32_t index;
        float value;
        bool force;
    };

    using pluginCore::activeNoteCount;
    using pluginCore::addParameter;
    using pluginCore::addParameterTarget;
    using pluginCore::advanceFrames;
    using pluginCore::controllerMap;
    using pluginCore::controllerQueue;
    using pluginCore::dataQueue;
    using pluginCore::events;
    using pluginCore::frameCounter;
    using pluginCore::learnIndex;
    using pluginCore::notes;
    using pluginCore::parameterCount;
    using pluginCore::parameters;
    using pluginCore::pitchTable;
    using pluginCore::presets;

    void onControlChange(int32_t controller, int32_t value) override {
        controlChanges.push_back({controller, value});
    }
    void onNoteOn(int32_t note, int32_t velocity) override { noteOns.push_back({note, velocity}); }
    void onNoteOff(int32_t note) override { noteOffs.push_back(note); }
    void onData(int32_t length, uint8_t firstByte) override {
        dataCalls.push_back({length, firstByte});
    }
    bool setParameterValue(int32_t index, float value, bool force) override {
        valueCalls.push_back({index, value, force});
        return pluginCore::setParameterValue(index, value, force);
    }

    std::vector<std::vector<int32_t>> controlChanges;
    std::vector<std::vector<int32_t>> noteOns;
    std::vector<int32_t> noteOffs;
    std::vector<std::vector<int32_t>> dataCalls;
    std::vector<valueCall> valueCalls;
};

// The parameters most suites use, by index.
enum standardParameter : int32_t {
    levelParameter,  // kind 6, dB, -60..6, -3.5
    modeParameter,   // kind 2, switch, 0..1, on
    cutoffParameter, // kind 27, logarithmic Hz, 20..20000, 1000
    titleParameter,  // kind 28, string of 16 bytes
    blobParameter,   // kind 29, chunk of 8 bytes
    secretParameter, // kind 10, hidden, 0..10, 3
    amountParameter, // kind 12, 0..10, 0
};

void addStandardParameters(testCore& core);
