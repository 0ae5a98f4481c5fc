#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "events/eventRecord.h"
#include "tests/core/testCore.h"
#include "tests/events/freeTracker.h"
#include "tests/events/vtableSlot.h"

TEST(pluginCoreFrame, StartsEmptyAtVersion1000WithNothingLearnedOrSounding) {
    testCore core;
    EXPECT_EQ(core.getVersion(), 1000);
    EXPECT_EQ(core.frameCounter, 0);
    EXPECT_EQ(core.parameterCount, 0);
    EXPECT_EQ(core.getPresetCount(), 0);
    EXPECT_EQ(core.getCurrentPreset(), -1);
    EXPECT_EQ(core.activeNoteCount, 0);
    EXPECT_EQ(core.learnIndex, -1);
    EXPECT_TRUE(std::all_of(std::begin(core.controllerMap), std::end(core.controllerMap),
                            [](int32_t p) { return p == -1; }));
    EXPECT_EQ(core.initialize(), 0);
}

TEST(pluginCoreFrame, PitchTableFollowsTheRoundedTwelfthRootFrom440) {
    testCore core;
    EXPECT_NEAR(core.pitchTable[69], 440.00146f, 2e-5f);
    EXPECT_NEAR(core.pitchTable[0], 8.1758f, 5e-5f);
    EXPECT_NEAR(core.pitchTable[60], 261.6263f, 5e-5f);
    EXPECT_NEAR(core.pitchTable[127], 12543.93f, 5e-3f);
    // The reference pitch itself is missed: each step is rounded to float.
    EXPECT_NE(core.pitchTable[69], 440.0f);
}

TEST(pluginCoreFrame, SetTuningRebuildsTheTableFromTheNewReference) {
    testCore core;
    core.setTuning(432.0f);
    EXPECT_NEAR(core.pitchTable[69], 432.0014f, 5e-5f);
    EXPECT_NEAR(core.pitchTable[57], 216.0006f, 3e-5f);
    core.setTuning(440.0f);
    EXPECT_NEAR(core.pitchTable[69], 440.00146f, 2e-5f);
}

TEST(pluginCoreFrame, VersionIsStoredAsGiven) {
    testCore core;
    core.setVersion(1234);
    EXPECT_EQ(core.getVersion(), 1234);
}

TEST(pluginCoreFrame, ProcessCountsFramesAndWrapsAroundAtTheTop) {
    testCore core;
    core.process(nullptr, nullptr, 512);
    core.process(nullptr, nullptr, 100);
    EXPECT_EQ(core.frameCounter, 612);
    core.frameCounter = std::numeric_limits<int32_t>::max();
    core.process(nullptr, nullptr, 1);
    EXPECT_EQ(core.frameCounter, std::numeric_limits<int32_t>::min());
    core.advanceFrames(10);
    EXPECT_EQ(core.frameCounter, std::numeric_limits<int32_t>::min() + 10);
    EXPECT_EQ(core.events.getLastTime(), core.frameCounter);
}

TEST(pluginCoreFrame, DeferredMessagesAreHandledAtTheEndOfTheBlockTheyFallDueIn) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 100, 10);
    EXPECT_TRUE(core.noteOns.empty());
    core.process(nullptr, nullptr, 512);
    ASSERT_EQ(core.noteOns.size(), 1u);

    core.midiMessage(0x90, 0, 62, 100, 600);
    core.process(nullptr, nullptr, 512);
    EXPECT_EQ(core.noteOns.size(), 1u);
    core.process(nullptr, nullptr, 512);
    ASSERT_EQ(core.noteOns.size(), 2u);
    EXPECT_EQ(core.noteOns[1], (std::vector<int32_t>{62, 100}));
}

TEST(pluginCoreFrame, DerivedProcessDeliversDeferredMessagesThroughAdvanceFrames) {
    testCore core;
    core.midiMessage(0xB0, 3, 7, 64, 100);
    core.advanceFrames(99);
    EXPECT_TRUE(core.controlChanges.empty());
    core.advanceFrames(1);
    EXPECT_EQ(core.controlChanges.size(), 1u);
}

TEST(pluginCoreFrame, DeferredMessagesAreScheduledWhateverTheirStatus) {
    testCore core;
    core.midiMessage(0x91, 0, 60, 100, 5);
    EXPECT_EQ(core.events.getEventCount(), 1);
    const eventRecord* record = core.events.getEvent(0)->record;
    EXPECT_EQ(record->eventKind, 1);
    EXPECT_EQ(record->status, 0x91);
    EXPECT_EQ(record->data1, 60);
    core.process(nullptr, nullptr, 5);
    EXPECT_EQ(core.events.getEventCount(), 0);
    EXPECT_TRUE(core.notes.empty()); // ignored when it came back
}

TEST(pluginCoreFrame, OnEventActsOnKindOneOnly) {
    testCore core;
    auto* record = static_cast<eventRecord*>(std::malloc(sizeof(eventRecord)));
    std::memset(record, 0, sizeof(eventRecord));
    record->status = 0x90;
    record->data1 = 64;
    record->data2 = 90;
    core.onEvent(record); // kind 0: no action
    record->eventKind = 7;
    core.onEvent(record);
    core.onEvent(nullptr);
    EXPECT_TRUE(core.noteOns.empty());
    record->eventKind = 1;
    core.onEvent(record);
    EXPECT_EQ(core.noteOns, (std::vector<std::vector<int32_t>>{{64, 90}}));
    std::free(record);
}

TEST(pluginCoreFrame, DestroyingACoreReleasesPendingMessagesWithoutHandlingThem) {
    freeTracker frees;
    auto* core = new testCore;
    core->midiMessage(0x90, 0, 60, 100, 1000);
    core->midiMessage(0x90, 0, 61, 100, 2000);
    ASSERT_EQ(core->events.getEventCount(), 2);
    const eventRecord* first = core->events.getEvent(0)->record;
    const eventRecord* second = core->events.getEvent(1)->record;
    delete core;
    EXPECT_TRUE(frees.wasFreed(first));
    EXPECT_TRUE(frees.wasFreed(second));
}

TEST(pluginCoreFrame, VirtualOperationsSitInTheirSlots) {
    EXPECT_EQ(vtableSlot(&pluginCore::onEvent), 1);
    EXPECT_EQ(vtableSlot(&pluginCore::getParameterProperty), 2);
    EXPECT_EQ(vtableSlot(&pluginCore::getParameterData), 3);
    EXPECT_EQ(vtableSlot(&pluginCore::getParameterNormalized), 4);
    EXPECT_EQ(vtableSlot(&pluginCore::getVersion), 5);
    EXPECT_EQ(vtableSlot(&pluginCore::process), 6);
    EXPECT_EQ(vtableSlot(&pluginCore::initialize), 7);
    EXPECT_EQ(vtableSlot(&pluginCore::setParameterValue), 8);
    EXPECT_EQ(vtableSlot(&pluginCore::setParameterData), 9);
    EXPECT_EQ(vtableSlot(&pluginCore::setParameterNormalized), 10);
    EXPECT_EQ(vtableSlot(&pluginCore::setVersion), 11);
    EXPECT_EQ(vtableSlot(&pluginCore::deletePreset), 12);
    EXPECT_EQ(vtableSlot(&pluginCore::findPreset), 13);
    EXPECT_EQ(vtableSlot(&pluginCore::getCurrentPreset), 14);
    EXPECT_EQ(vtableSlot(&pluginCore::getCurrentPresetName), 15);
    EXPECT_EQ(vtableSlot(&pluginCore::getPresetCount), 16);
    EXPECT_EQ(vtableSlot(&pluginCore::getPresetName), 17);
    EXPECT_EQ(vtableSlot(&pluginCore::getPresetGroup), 18);
    EXPECT_EQ(vtableSlot(&pluginCore::getPresetGroupByName), 19);
    EXPECT_EQ(vtableSlot(&pluginCore::selectPreset), 20);
    EXPECT_EQ(vtableSlot(&pluginCore::nextPreset), 21);
    EXPECT_EQ(vtableSlot(&pluginCore::previousPreset), 22);
    EXPECT_EQ(vtableSlot(&pluginCore::loadPresetFile), 23);
    EXPECT_EQ(vtableSlot(&pluginCore::savePreset), 24);
    EXPECT_EQ(vtableSlot(&pluginCore::presetReserved), 25);
    EXPECT_EQ(vtableSlot(&pluginCore::sanitizeName), 26);
    EXPECT_EQ(vtableSlot(&pluginCore::onControlChange), 27);
    EXPECT_EQ(vtableSlot(&pluginCore::onNoteOn), 28);
    EXPECT_EQ(vtableSlot(&pluginCore::onNoteOff), 29);
    EXPECT_EQ(vtableSlot(&pluginCore::midiMessage), 30);
    EXPECT_EQ(vtableSlot(&pluginCore::receiveData), 31);
    EXPECT_EQ(vtableSlot(&pluginCore::setTuning), 32);
    EXPECT_EQ(vtableSlot(&pluginCore::onData), 33);
}
