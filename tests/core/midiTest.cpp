#include <gtest/gtest.h>

#include <vector>

#include "tests/core/testCore.h"

namespace {

using calls = std::vector<std::vector<int32_t>>;

} // namespace

TEST(pluginCoreMidi, NoteOnStartsANoteAtItsPitchAndARepeatOnlyUpdatesVelocity) {
    testCore core;
    core.midiMessage(0x90, 42, 60, 100, 0);
    ASSERT_EQ(core.notes.size(), 1u);
    EXPECT_EQ(core.activeNoteCount, 1);
    EXPECT_EQ(core.notes[0].tag, 42);
    EXPECT_EQ(core.notes[0].velocity, 100);
    EXPECT_NEAR(core.notes[0].frequency, 261.6263f, 5e-5f);
    EXPECT_EQ(core.noteOns, (calls{{60, 100}}));

    core.midiMessage(0x90, 0, 60, 50, 0);
    EXPECT_EQ(core.notes.size(), 1u);
    EXPECT_EQ(core.notes[0].velocity, 50);
    EXPECT_EQ(core.noteOns.size(), 1u);
}

TEST(pluginCoreMidi, NoteOffAndVelocityZeroEndTheNote) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 100, 0);
    core.midiMessage(0x90, 0, 64, 100, 0);
    core.midiMessage(0x90, 0, 60, 0, 0);
    EXPECT_EQ(core.noteOffs, std::vector<int32_t>{60});
    ASSERT_EQ(core.notes.size(), 1u);
    EXPECT_EQ(core.notes[0].note, 64);
    core.midiMessage(0x80, 0, 64, 0, 0);
    EXPECT_EQ(core.noteOffs, (std::vector<int32_t>{60, 64}));
    EXPECT_TRUE(core.notes.empty());
    EXPECT_EQ(core.activeNoteCount, 0);
    core.midiMessage(0x80, 0, 64, 0, 0); // not sounding
    EXPECT_EQ(core.noteOffs.size(), 2u);
}

TEST(pluginCoreMidi, StatusWithChannelBitsIsIgnored) {
    testCore core;
    core.midiMessage(0x91, 0, 60, 100, 0);
    core.midiMessage(0xB1, 0, 7, 100, 0);
    core.midiMessage(0xF0, 0, 7, 100, 0);
    EXPECT_TRUE(core.notes.empty());
    EXPECT_TRUE(core.noteOns.empty());
    EXPECT_TRUE(core.controlChanges.empty());
}

TEST(pluginCoreMidi, AllNotesOffAndAllSoundOffSilenceWithoutHooks) {
    for (int32_t controller : {120, 123}) {
        testCore core;
        core.midiMessage(0x90, 0, 60, 100, 0);
        core.midiMessage(0x90, 0, 62, 100, 0);
        core.midiMessage(0x90, 0, 64, 100, 0);
        core.midiMessage(0xB0, 0, controller, 5, 0);
        EXPECT_TRUE(core.notes.empty());
        EXPECT_EQ(core.activeNoteCount, 0);
        EXPECT_TRUE(core.noteOffs.empty());
        EXPECT_TRUE(core.controlChanges.empty());
        EXPECT_TRUE(core.controllerQueue.empty());
    }
}

TEST(pluginCoreMidi, OrdinaryControllersAreQueuedAndHooked) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 100, 0);
    core.midiMessage(0xB0, 9, 7, 123, 0);
    EXPECT_EQ(core.notes.size(), 1u);
    EXPECT_EQ(core.controlChanges, (calls{{7, 123}}));
    ASSERT_EQ(core.controllerQueue.size(), 1u);
    EXPECT_EQ(core.controllerQueue[0].tag, 9);
    EXPECT_EQ(core.controllerQueue[0].controller, 7);
    EXPECT_EQ(core.controllerQueue[0].value, 123);
    EXPECT_TRUE(core.valueCalls.empty()); // controller 7 drives nothing
}

TEST(pluginCoreMidi, MappedControllerSetsItsParameterFromValueOver128) {
    testCore core;
    addStandardParameters(core);
    core.controllerMap[7] = 2;
    core.midiMessage(0xB0, 0, 7, 64, 0);
    EXPECT_EQ(core.controlChanges, (calls{{7, 64}}));
    ASSERT_EQ(core.valueCalls.size(), 1u);
    EXPECT_EQ(core.valueCalls[0].index, 2);
    EXPECT_EQ(core.valueCalls[0].value, 0.5f);
    EXPECT_FALSE(core.valueCalls[0].force);
    core.controllerMap[7] = amountParameter;
    core.midiMessage(0xB0, 0, 7, 127, 0);
    EXPECT_EQ(core.valueCalls.back().value, 0.9921875f);
}

TEST(pluginCoreMidi, LearningBindsTheNextControllerOnce) {
    testCore core;
    addStandardParameters(core);
    core.learnIndex = amountParameter;
    core.midiMessage(0xB0, 0, 21, 100, 0);
    EXPECT_EQ(core.controllerMap[21], amountParameter);
    EXPECT_EQ(core.learnIndex, -1);
    EXPECT_TRUE(core.controlChanges.empty()); // the learning message does nothing else
    EXPECT_TRUE(core.controllerQueue.empty());

    core.midiMessage(0xB0, 0, 21, 64, 0);
    EXPECT_EQ(core.parameters[amountParameter].value, 5.0f);
}

TEST(pluginCoreMidi, LearningAnIndexBeyondTheTableBindsNothing) {
    testCore core;
    addStandardParameters(core);
    core.learnIndex = core.parameterCount;
    core.midiMessage(0xB0, 0, 21, 100, 0);
    EXPECT_EQ(core.controllerMap[21], -1);
    EXPECT_EQ(core.learnIndex, core.parameterCount);
}

TEST(pluginCoreMidi, ChannelPressureScalesEveryVelocityAndTruncates) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 100, 0);
    core.midiMessage(0x90, 0, 61, 127, 0);
    core.midiMessage(0xD0, 0, 64, 0, 0);
    EXPECT_EQ(core.notes[0].velocity, 50); // 100 * 64 / 127 = 50.39
    EXPECT_EQ(core.notes[1].velocity, 64);
    core.midiMessage(0xD0, 0, 64, 0, 0);
    EXPECT_EQ(core.notes[0].velocity, 25);
}

TEST(pluginCoreMidi, ChannelPressureWithHugeValuesSaturates) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 2000000000, 0);
    core.midiMessage(0xD0, 0, 2000000000, 0, 0);
    EXPECT_EQ(core.notes[0].velocity, 2147483647);
}

TEST(pluginCoreMidi, PolyphonicPressureSetsTheVelocityOfThatNote) {
    testCore core;
    core.midiMessage(0x90, 0, 60, 100, 0);
    core.midiMessage(0xA0, 0, 60, 33, 0);
    core.midiMessage(0xA0, 0, 61, 99, 0);
    EXPECT_EQ(core.notes[0].velocity, 33);
    EXPECT_EQ(core.notes.size(), 1u);
}

TEST(pluginCoreMidi, NumbersOutsideTheTablesAreIgnored) {
    testCore core;
    addStandardParameters(core);
    core.learnIndex = 0;
    for (int32_t number : {-1, 128, 100000, -2147483647 - 1}) {
        core.midiMessage(0x90, 0, number, 100, 0);
        core.midiMessage(0xA0, 0, number, 100, 0);
        core.midiMessage(0x80, 0, number, 0, 0);
        core.midiMessage(0xB0, 0, number, 100, 0);
    }
    EXPECT_TRUE(core.notes.empty());
    EXPECT_TRUE(core.noteOns.empty());
    EXPECT_TRUE(core.controlChanges.empty());
    EXPECT_EQ(core.learnIndex, 0); // still waiting: nothing was learned
}

TEST(pluginCoreMidi, ProgramChangeSelectsAPresetInRangeOnly) {
    testCore core;
    core.midiMessage(0xC0, 0, 0, 0, 0);
    EXPECT_EQ(core.getCurrentPreset(), -1);
}

TEST(pluginCoreMidi, ControllerQueueKeepsTheNewestEntries) {
    testCore core;
    const int32_t total = static_cast<int32_t>(pluginCore::kQueueCapacity) + 6;
    for (int32_t i = 0; i < total; ++i) {
        core.midiMessage(0xB0, i, 7, i % 128, 0);
    }
    ASSERT_EQ(core.controllerQueue.size(), pluginCore::kQueueCapacity);
    EXPECT_EQ(core.controllerQueue[0].tag, 6);
    EXPECT_EQ(core.controllerQueue[pluginCore::kQueueCapacity - 1].tag, total - 1);
    EXPECT_EQ(core.controlChanges.size(), static_cast<size_t>(total));
}

TEST(pluginCoreMidi, ReceivedBytesAreCopiedQueuedAndHookedWithTheFirstByteUnsigned) {
    testCore core;
    uint8_t bytes[3] = {0xF0, 0x7E, 0xF7};
    core.receiveData(3, bytes);
    bytes[0] = 0;
    ASSERT_EQ(core.dataQueue.size(), 1u);
    EXPECT_EQ(core.dataQueue[0].length, 3);
    EXPECT_EQ(core.dataQueue[0].bytes[0], 0xF0);
    EXPECT_EQ(core.dataQueue[0].bytes[2], 0xF7);
    EXPECT_EQ(core.dataCalls, (calls{{3, 240}}));
}

TEST(pluginCoreMidi, EmptyOrMissingByteMessagesAreIgnored) {
    testCore core;
    const uint8_t bytes[1] = {1};
    core.receiveData(0, bytes);
    core.receiveData(-5, bytes);
    core.receiveData(4, nullptr);
    EXPECT_TRUE(core.dataQueue.empty());
    EXPECT_TRUE(core.dataCalls.empty());
}

TEST(pluginCoreMidi, ByteQueueKeepsTheNewestMessages) {
    testCore core;
    const size_t total = pluginCore::kQueueCapacity + 3;
    for (size_t i = 0; i < total; ++i) {
        const uint8_t bytes[2] = {static_cast<uint8_t>(i % 256), static_cast<uint8_t>(i / 256)};
        core.receiveData(2, bytes);
    }
    ASSERT_EQ(core.dataQueue.size(), pluginCore::kQueueCapacity);
    EXPECT_EQ(core.dataQueue[0].bytes[0], 3); // messages 0..2 dropped
    EXPECT_EQ(core.dataCalls.size(), total);
}
