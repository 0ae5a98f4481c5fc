#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/core/testCore.h"
#include "tests/support/ScratchDir.h"

namespace {

// A preset file whose entries hold the given values.
std::string presetText(const std::string& name, std::initializer_list<const char*> values) {
    std::string text = name + ":1000:" + std::to_string(values.size()) + ":\n";
    int index = 0;
    for (const char* value : values) {
        text += std::to_string(index++) + ":P:12:0:" + value + ":\n";
    }
    return text;
}

class pluginCorePresets : public ::testing::Test {
protected:
    // Three parameters of range 0..10.
    void SetUp() override {
        for (const char* name : {"A", "B", "C"}) {
            core.addParameter(name, 12, 0.0f, 10.0f, 0.0f);
        }
    }
    std::string name(int32_t index) {
        char text[25] = "junk";
        core.getPresetName(index, text);
        return text;
    }
    std::string load(const std::string& file, const std::string& text,
                     const char* group = nullptr) {
        const std::string path = scratch.write(file, text);
        core.loadPresetFile(path.c_str(), group);
        return path;
    }

    ScratchDir scratch{ScratchDir::Enter::yes};
    testCore core;
};

} // namespace

TEST_F(pluginCorePresets, AnEmptyListHasNoCurrentPresetAndIgnoresStepping) {
    char text[25] = "junk";
    core.getCurrentPresetName(text);
    EXPECT_STREQ(text, "");
    core.selectPreset(0);
    core.nextPreset();
    core.previousPreset();
    EXPECT_EQ(core.getCurrentPreset(), -1);
    EXPECT_TRUE(core.valueCalls.empty());
    EXPECT_EQ(name(0), "");
}

TEST_F(pluginCorePresets, SteppingWrapsAroundBothWays) {
    load("a.pre", presetText("First", {"1"}));
    load("b.pre", presetText("Second", {"2"}));
    load("c.pre", presetText("Third", {"3"}));
    EXPECT_EQ(core.getPresetCount(), 3);
    EXPECT_EQ(core.getCurrentPreset(), -1); // loading selects nothing
    core.previousPreset();
    EXPECT_EQ(core.getCurrentPreset(), 2);
    core.nextPreset();
    EXPECT_EQ(core.getCurrentPreset(), 0);
    core.previousPreset();
    EXPECT_EQ(core.getCurrentPreset(), 2);
    core.nextPreset();
    EXPECT_EQ(core.getCurrentPreset(), 0);
    char text[25];
    core.getCurrentPresetName(text);
    EXPECT_STREQ(text, "First");
}

TEST_F(pluginCorePresets, SelectingAppliesStoredValuesByPositionThroughSetParameterValue) {
    load("a.pre", presetText("Mix", {"12", "0.5", "-3", "7", "8"}));
    core.selectPreset(0);
    ASSERT_EQ(core.valueCalls.size(), 3u);      // only as many as the core has
    EXPECT_EQ(core.parameters[0].value, 10.0f); // 10 after load clamping
    EXPECT_EQ(core.parameters[1].value, 5.0f);  // 0.5 taken as normalised
    EXPECT_EQ(core.parameters[2].value, 0.0f);
    EXPECT_EQ(core.getCurrentPreset(), 0);
}

TEST_F(pluginCorePresets, AShortPresetLeavesTheRemainingParametersAlone) {
    core.parameters[2].value = 9.0f;
    load("a.pre", presetText("Short", {"4"}));
    core.selectPreset(0);
    EXPECT_EQ(core.parameters[0].value, 4.0f);
    EXPECT_EQ(core.parameters[2].value, 9.0f);
}

TEST_F(pluginCorePresets, SelectingClampsToTheCurrentRangeOfTheParameter) {
    load("a.pre", presetText("Big", {"9"}));
    core.parameters[0].maximum = 6.0f; // the core's range shrank after loading
    core.selectPreset(0);
    EXPECT_EQ(core.valueCalls[0].value, 6.0f);
}

TEST_F(pluginCorePresets, HiddenParametersKeepTheirValueWhenAPresetIsSelected) {
    testCore hiddenCore;
    hiddenCore.addParameter("H", 12, 0.0f, 10.0f, 2.0f, 0, true);
    const std::string path = scratch.write("h.pre", presetText("H", {"8"}));
    hiddenCore.loadPresetFile(path.c_str(), nullptr);
    hiddenCore.selectPreset(0);
    EXPECT_EQ(hiddenCore.parameters[0].value, 2.0f);
    EXPECT_EQ(hiddenCore.getCurrentPreset(), 0);
}

TEST_F(pluginCorePresets, SelectingOutsideTheListChangesNothing) {
    load("a.pre", presetText("One", {"4"}));
    core.selectPreset(1);
    core.selectPreset(-1);
    EXPECT_EQ(core.getCurrentPreset(), -1);
    EXPECT_TRUE(core.valueCalls.empty());
}

TEST_F(pluginCorePresets, ProgramChangeSelectsThroughTheSameSlot) {
    load("a.pre", presetText("One", {"4"}));
    load("b.pre", presetText("Two", {"6"}));
    core.midiMessage(0xC0, 0, 1, 0, 0);
    EXPECT_EQ(core.getCurrentPreset(), 1);
    EXPECT_EQ(core.parameters[0].value, 6.0f);
}

TEST_F(pluginCorePresets, NamesAndGroupsAreFoundFirstMatchFirst) {
    load("a.pre", presetText("Twin", {"1"}), "Bass");
    load("b.pre", presetText("Twin", {"2"}), "Lead");
    load("c.pre", presetText("Solo", {"3"}));
    EXPECT_EQ(core.findPreset("Twin"), 0);
    EXPECT_EQ(core.findPreset("Solo"), 2);
    EXPECT_EQ(core.findPreset("twin"), -1); // case counts
    EXPECT_EQ(core.findPreset("Twi"), -1);
    EXPECT_EQ(core.findPreset(nullptr), -1);
    char text[25] = "junk";
    core.getPresetGroupByName("Twin", text);
    EXPECT_STREQ(text, "Bass");
    core.getPresetGroupByName("Solo", text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "junk");
    core.getPresetGroupByName("None", text);
    EXPECT_STREQ(text, "");
    core.getPresetGroup(1, text);
    EXPECT_STREQ(text, "Lead");
    core.getPresetGroup(3, text);
    EXPECT_STREQ(text, "");
}

TEST_F(pluginCorePresets, DeletingRemovesTheFirstMatchAndItsFile) {
    const std::string first = load("a.pre", presetText("Twin", {"1"}));
    const std::string second = load("b.pre", presetText("Twin", {"2"}));
    EXPECT_GE(core.deletePreset(nullptr, "Twin"), 0);
    EXPECT_FALSE(ScratchDir::exists(first));
    EXPECT_TRUE(ScratchDir::exists(second));
    ASSERT_EQ(core.getPresetCount(), 1);
    core.selectPreset(0);
    EXPECT_EQ(core.parameters[0].value, 2.0f);
    EXPECT_LT(core.deletePreset(nullptr, "Nobody"), 0);
    EXPECT_EQ(core.getPresetCount(), 1);
}

TEST_F(pluginCorePresets, APresetWhoseFileCannotBeRemovedStays) {
    const std::string path = load("a.pre", presetText("Kept", {"1"}));
    std::remove(path.c_str());
    core.deletePreset(nullptr, "Kept");
    EXPECT_EQ(core.getPresetCount(), 1);
}

TEST_F(pluginCorePresets, DeletingTheCurrentPresetKeepsItsNumber) {
    load("a.pre", presetText("One", {"1"}));
    load("b.pre", presetText("Two", {"2"}));
    core.selectPreset(1);
    core.deletePreset(nullptr, "Two");
    EXPECT_EQ(core.getCurrentPreset(), 1);
    char text[25] = "junk";
    core.getCurrentPresetName(text);
    EXPECT_STREQ(text, "");
    core.deletePreset(nullptr, "One");
    EXPECT_EQ(core.getPresetCount(), 0);
    core.getCurrentPresetName(text);
    EXPECT_STREQ(text, "");
}

TEST_F(pluginCorePresets, NamesFillingTheFieldAreReadWithinIt) {
    // 30 characters in the file: the record keeps 24, with no terminator.
    load("a.pre", presetText("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", {"1"}),
         "GROUPGROUPGROUPGROUPGROUPGROUP");
    ASSERT_EQ(core.getPresetCount(), 1);
    EXPECT_EQ(std::memcmp(core.presets[0].name, "ABCDEFGHIJKLMNOPQRSTUVWX", 24), 0);
    char text[25];
    std::memset(text, 'z', sizeof text);
    core.getPresetName(0, text);
    EXPECT_STREQ(text, "ABCDEFGHIJKLMNOPQRSTUVWX");
    core.getPresetGroup(0, text);
    EXPECT_STREQ(text, "GROUPGROUPGROUPGROUPGROU");
    // The preset bears the 24 characters its field holds, and no longer name
    // that begins with them.
    EXPECT_EQ(core.findPreset("ABCDEFGHIJKLMNOPQRSTUVWX"), 0);
    EXPECT_EQ(core.findPreset("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"), -1);
    EXPECT_EQ(core.findPreset("ABCDEFGHIJKLMNOPQRSTUVW"), -1);
}

TEST_F(pluginCorePresets, NullTextBuffersAreNeverWritten) {
    load("a.pre", presetText("One", {"1"}));
    core.selectPreset(0);
    core.getPresetName(0, nullptr);
    core.getPresetGroup(0, nullptr);
    core.getCurrentPresetName(nullptr);
    core.getPresetGroupByName("One", nullptr);
    EXPECT_EQ(core.getPresetCount(), 1);
}
