#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/unitTable.h"
#include "tests/core/testCore.h"

namespace {

std::string display(pluginCore& core, int32_t index) {
    char text[64] = {};
    EXPECT_EQ(core.getParameterProperty(0, index, text), 0.0f);
    return text;
}

// A core whose getParameterNormalized answers a fixed value: the property
// query must reach it through its slot.
class overridingCore : public testCore {
public:
    float getParameterNormalized(int32_t) override { return 0.125f; }
};

} // namespace

TEST(pluginCoreParameters, AnEmptyTableRefusesEveryRequestAndLeavesTextAlone) {
    testCore core;
    char text[32] = "untouched";
    EXPECT_EQ(core.getParameterProperty(3, 0, nullptr), -1.0f);
    EXPECT_EQ(core.getParameterProperty(1, 0, text), -1.0f);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(core.getParameterNormalized(0), -1.0f);
    EXPECT_FALSE(core.setParameterNormalized(0, 0.5f, false));
    EXPECT_FALSE(core.setParameterValue(0, 0.5f, true));
    EXPECT_FALSE(core.setParameterData(0, nullptr));
    uint8_t bytes[4] = {};
    EXPECT_EQ(core.getParameterData(0, bytes), 0);
}

TEST(pluginCoreParameters, IndexesOutsideTheTableAndBadSelectorsAreRefused) {
    testCore core;
    addStandardParameters(core);
    char text[32] = "untouched";
    EXPECT_EQ(core.getParameterProperty(0, core.parameterCount, text), -1.0f);
    EXPECT_EQ(core.getParameterProperty(0, -1, text), -1.0f);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(core.getParameterProperty(11, 0, text), -1.0f);
    EXPECT_EQ(core.getParameterProperty(-1, 0, text), -1.0f);
    for (int32_t selector : {0, 1, 2, 8}) {
        EXPECT_EQ(core.getParameterProperty(selector, 0, nullptr), -1.0f) << selector;
    }
}

TEST(pluginCoreParameters, PropertiesReportTheRecord) {
    testCore core;
    addStandardParameters(core);
    char text[32] = {};
    EXPECT_EQ(core.getParameterProperty(1, levelParameter, text), 0.0f);
    EXPECT_STREQ(text, "Level");
    core.getParameterProperty(2, levelParameter, text);
    EXPECT_STREQ(text, "dB");
    core.getParameterProperty(8, cutoffParameter, text);
    EXPECT_STREQ(text, "Hz");
    EXPECT_EQ(core.getParameterProperty(4, levelParameter, nullptr), -3.5f);
    EXPECT_EQ(core.getParameterProperty(5, levelParameter, nullptr), -60.0f);
    EXPECT_EQ(core.getParameterProperty(6, levelParameter, nullptr), 6.0f);
    EXPECT_EQ(core.getParameterProperty(9, titleParameter, nullptr), 28.0f);
    EXPECT_EQ(core.getParameterProperty(10, titleParameter, nullptr), 16.0f);
    EXPECT_FLOAT_EQ(core.getParameterProperty(3, amountParameter, nullptr), 0.0f);
    int32_t aux = core.addParameter("Aux", 9, 0.0f, 2.0f, 1.0f, 0, false, 0.75f);
    EXPECT_EQ(core.getParameterProperty(7, aux, nullptr), 0.75f);
}

TEST(pluginCoreParameters, NormalisedPropertyGoesThroughTheOverridableSlot) {
    overridingCore core;
    addStandardParameters(core);
    EXPECT_EQ(core.getParameterProperty(3, levelParameter, nullptr), 0.125f);
}

TEST(pluginCoreParameters, NamesOfTwentyFourCharactersAreCopiedWhole) {
    testCore core;
    const int32_t index = core.addParameter("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 9, 0.0f, 1.0f, 0.0f);
    char text[32];
    std::memset(text, 'x', sizeof text);
    core.getParameterProperty(1, index, text);
    EXPECT_STREQ(text, "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST(pluginCoreParameters, HiddenParametersShowAPlaceholderNameOnly) {
    testCore core;
    addStandardParameters(core);
    char text[32] = {};
    core.getParameterProperty(1, secretParameter, text);
    EXPECT_STREQ(text, "(Hidden)");
    core.getParameterProperty(2, secretParameter, text);
    EXPECT_STREQ(text, "Hz");
    EXPECT_EQ(display(core, secretParameter), "3.00");
}

TEST(pluginCoreParameters, ValuesOnTheSameSideOfOneAsTheTopArePlain) {
    testCore core;
    const int32_t wide = core.addParameter("Wide", 12, 0.0f, 10.0f, 0.0f);
    const int32_t narrow = core.addParameter("Narrow", 12, 0.0f, 0.5f, 0.0f);
    const int32_t unit = core.addParameter("Unit", 12, 0.0f, 1.0f, 0.0f);

    EXPECT_TRUE(core.setParameterValue(wide, 0.5f, false)); // normalised
    EXPECT_EQ(core.parameters[wide].value, 5.0f);
    EXPECT_TRUE(core.setParameterValue(wide, 5.0f, false)); // plain
    EXPECT_EQ(core.parameters[wide].value, 5.0f);
    EXPECT_TRUE(core.setParameterValue(narrow, 0.25f, false)); // plain
    EXPECT_EQ(core.parameters[narrow].value, 0.25f);
    EXPECT_TRUE(core.setParameterValue(unit, 1.0f, false)); // normalised: the top
    EXPECT_EQ(core.parameters[unit].value, 1.0f);
    EXPECT_TRUE(core.setParameterValue(wide, 12.0f, false)); // plain, not clamped
    EXPECT_EQ(core.parameters[wide].value, 12.0f);
}

TEST(pluginCoreParameters, SwitchRoundsAtOneHalfAndShowsOnOrOff) {
    testCore core;
    addStandardParameters(core);
    core.setParameterValue(modeParameter, 0.5f, false);
    EXPECT_EQ(core.parameters[modeParameter].value, 0.0f);
    EXPECT_EQ(display(core, modeParameter), "Off");
    core.setParameterValue(modeParameter, 0.51f, false);
    EXPECT_EQ(core.parameters[modeParameter].value, 1.0f);
    EXPECT_EQ(display(core, modeParameter), "On");
    core.setParameterNormalized(modeParameter, 0.2f, false);
    EXPECT_FLOAT_EQ(core.parameters[modeParameter].value, 0.2f);
    EXPECT_EQ(display(core, modeParameter), "On");
}

TEST(pluginCoreParameters, LogarithmicKindMapsHalfwayToTheGeometricMean) {
    testCore core;
    addStandardParameters(core);
    EXPECT_TRUE(core.setParameterNormalized(cutoffParameter, 0.5f, false));
    EXPECT_NEAR(core.parameters[cutoffParameter].value, 632.46f, 0.01f);
    EXPECT_NEAR(core.getParameterNormalized(cutoffParameter), 0.5f, 1e-7f);
    core.setParameterNormalized(cutoffParameter, 0.0f, false);
    EXPECT_NEAR(core.parameters[cutoffParameter].value, 20.0f, 1e-4f);
    core.setParameterNormalized(cutoffParameter, 1.0f, false);
    EXPECT_NEAR(core.parameters[cutoffParameter].value, 20000.0f, 0.01f);
}

TEST(pluginCoreParameters, NeitherMappingClamps) {
    testCore core;
    addStandardParameters(core);
    core.setParameterNormalized(amountParameter, 1.5f, false);
    EXPECT_EQ(core.parameters[amountParameter].value, 15.0f);
    core.parameters[amountParameter].value = -5.0f;
    EXPECT_EQ(core.getParameterNormalized(amountParameter), -0.5f);
}

TEST(pluginCoreParameters, HiddenParametersRefuseUnforcedSetsButRewriteTargets) {
    testCore core;
    addStandardParameters(core);
    float mirror = -1.0f;
    ASSERT_TRUE(core.addParameterTarget(secretParameter, &mirror));
    EXPECT_FALSE(core.setParameterValue(secretParameter, 7.0f, false));
    EXPECT_EQ(mirror, -1.0f);
    EXPECT_TRUE(core.setParameterNormalized(secretParameter, 0.9f, false));
    EXPECT_EQ(core.parameters[secretParameter].value, 3.0f);
    EXPECT_EQ(mirror, 3.0f);
    EXPECT_TRUE(core.setParameterValue(secretParameter, 7.0f, true));
    EXPECT_EQ(mirror, 7.0f);
    EXPECT_TRUE(core.setParameterNormalized(secretParameter, 0.5f, true));
    EXPECT_EQ(mirror, 5.0f);
}

TEST(pluginCoreParameters, EverySuccessfulSetWritesAllTargets) {
    testCore core;
    addStandardParameters(core);
    float first = 0.0f;
    float second = 0.0f;
    core.addParameterTarget(amountParameter, &first);
    core.addParameterTarget(amountParameter, &second);
    EXPECT_EQ(core.parameters[amountParameter].targetCount, 2);
    core.setParameterValue(amountParameter, 4.0f, false);
    EXPECT_EQ(first, 4.0f);
    EXPECT_EQ(second, 4.0f);
    core.setParameterValue(amountParameter, 0.25f, false);
    EXPECT_EQ(second, 2.5f);
}

TEST(pluginCoreParameters, DisplayFormatsFollowTheKind) {
    testCore core;
    const int32_t count = core.addParameter("Count", 5, -10.0f, 10.0f, -0.7f);
    const int32_t frames = core.addParameter("Frames", 25, -10.0f, 10.0f, 2.9f);
    const int32_t percent = core.addParameter("Mix", 20, 0.0f, 100.0f, 42.25f);
    const int32_t level = core.addParameter("Level", 6, -60.0f, 6.0f, -3.5f);
    const int32_t chunk = core.addParameter("Blob", 29, 0.0f, 1.0f, 0.125f, 4);
    EXPECT_EQ(display(core, count), "0");
    core.parameters[count].value = -2.9f;
    EXPECT_EQ(display(core, count), "-2");
    EXPECT_EQ(display(core, frames), "2");
    EXPECT_EQ(display(core, percent), "42.2"); // 42.25 is exact: ties go to even
    EXPECT_EQ(display(core, level), "-3.50");
    EXPECT_EQ(display(core, chunk), "0.12");
    core.parameters[percent].value = 3.0f;
    EXPECT_EQ(display(core, percent), "3.0");
}

TEST(pluginCoreParameters, IntegerDisplaySaturatesInsteadOfOverflowing) {
    testCore core;
    const int32_t count = core.addParameter("Count", 5, -10.0f, 10.0f, 0.0f);
    core.parameters[count].value = 1e20f;
    EXPECT_EQ(display(core, count), "2147483647");
    core.parameters[count].value = -1e20f;
    EXPECT_EQ(display(core, count), "-2147483648");
    core.parameters[count].value = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(display(core, count), "0");
}

TEST(pluginCoreParameters, LargestValuesDisplayWhole) {
    testCore core;
    const int32_t level = core.addParameter("Level", 6, -60.0f, 6.0f, 0.0f);
    core.parameters[level].value = -std::numeric_limits<float>::max();
    EXPECT_EQ(display(core, level), "-340282346638528859811704183484516925440.00");
}

TEST(pluginCoreParameters, UnitLabelsFollowTheKindTable) {
    const char* labels[kUnitKindCount] = {
        "Cents", "Beats", "",     "BPM",   "Ct",        " ",      "dB",  "Deg", "X-fade", "",
        "Hz",    "Note",  "",     "CC",    "Note",      "Meters", "ms",  "",    "Octave", "Pan",
        "%",     "Phase", "Rate", "Ratio", "Semitones", "Frames", "Sec", "Hz",  "String", "Chunk"};
    for (int32_t kind = 0; kind < kUnitKindCount; ++kind) {
        EXPECT_STREQ(unitFor(kind).label, labels[kind]) << kind;
    }
    EXPECT_EQ(unitFor(27).mapping, valueMapping::logarithmic);
    EXPECT_EQ(unitFor(10).mapping, valueMapping::linear);
    EXPECT_STREQ(unitFor(30).label, "");
    EXPECT_STREQ(unitFor(-1).label, "");
}

TEST(pluginCoreParameters, StringDataIsCopiedWithStrncpySemantics) {
    testCore core;
    addStandardParameters(core);
    const auto* text = reinterpret_cast<const uint8_t*>("hello");
    EXPECT_TRUE(core.setParameterData(titleParameter, text));
    uint8_t out[16];
    std::memset(out, 0xAA, sizeof out);
    EXPECT_EQ(core.getParameterData(titleParameter, out), 16);
    EXPECT_EQ(std::memcmp(out, "hello\0\0\0\0\0\0\0\0\0\0\0", 16), 0);

    const auto* longText = reinterpret_cast<const uint8_t*>("0123456789abcdefXYZ");
    EXPECT_TRUE(core.setParameterData(titleParameter, longText));
    core.getParameterData(titleParameter, out);
    EXPECT_EQ(std::memcmp(out, "0123456789abcdef", 16), 0); // no terminator

    EXPECT_TRUE(core.setParameterData(titleParameter, nullptr));
    core.getParameterData(titleParameter, out);
    EXPECT_EQ(std::memcmp(out, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
}

TEST(pluginCoreParameters, ChunkDataIsCopiedExactly) {
    testCore core;
    addStandardParameters(core);
    const uint8_t bytes[8] = {0, 1, 2, 0xFF, '\n', ':', 0, 7};
    EXPECT_TRUE(core.setParameterData(blobParameter, bytes));
    uint8_t out[8] = {};
    EXPECT_EQ(core.getParameterData(blobParameter, out), 8);
    EXPECT_EQ(std::memcmp(out, bytes, 8), 0);
    EXPECT_FALSE(core.setParameterData(blobParameter, nullptr));
    EXPECT_EQ(core.getParameterData(blobParameter, nullptr), 0);
}

TEST(pluginCoreParameters, DataOperationsRefuseEmptyBuffersAndIgnoreOtherKinds) {
    testCore core;
    const int32_t emptyString = core.addParameter("S", 28, 0.0f, 1.0f, 0.0f, 0);
    const int32_t negative = core.addParameter("C", 29, 0.0f, 1.0f, 0.0f, -4);
    const int32_t plain = core.addParameter("P", 12, 0.0f, 1.0f, 0.0f);
    const uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_FALSE(core.setParameterData(emptyString, bytes));
    EXPECT_FALSE(core.setParameterData(negative, bytes));
    EXPECT_TRUE(core.setParameterData(plain, bytes));
    uint8_t out[4] = {};
    EXPECT_EQ(core.getParameterData(plain, out), 0);
}

TEST(pluginCoreParameters, AddParameterKeepsTheTablesRules) {
    testCore core;
    EXPECT_EQ(core.addParameter("Bad kind", 30, 0.0f, 1.0f, 0.0f), -1);
    EXPECT_EQ(core.addParameter("Empty range", 12, 1.0f, 1.0f, 1.0f), -1);
    EXPECT_EQ(core.addParameter("Upside down", 12, 2.0f, 1.0f, 1.0f), -1);
    EXPECT_EQ(core.addParameter("Log from 0", 27, 0.0f, 100.0f, 1.0f), -1);
    EXPECT_EQ(core.parameterCount, 0);
    EXPECT_EQ(core.addParameter("Good", 27, 1.0f, 100.0f, 10.0f), 0);
    EXPECT_FALSE(core.addParameterTarget(0, nullptr));
    EXPECT_FALSE(core.addParameterTarget(1, nullptr));
}
