#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/core/testCore.h"
#include "tests/support/ScratchDir.h"

namespace {

// The two parameters of the "Warm" preset these tests save: a level in dB
// and a switch.
void addWarmParameters(testCore& core) {
    core.addParameter("Level", 6, -60.0f, 6.0f, -3.5f);
    core.addParameter("Mode", 2, 0.0f, 1.0f, 1.0f);
}

class pluginCorePresetFiles : public ::testing::Test {
protected:
    // Writes the bytes as a preset file and loads it without a group.
    void load(const std::string& file, const std::string& bytes) {
        const std::string path = scratch.write(file, bytes);
        core.loadPresetFile(path.c_str(), nullptr);
    }

    ScratchDir scratch{ScratchDir::Enter::yes};
    testCore core;
};

// Switches LC_NUMERIC to a locale whose decimal mark is a comma for as long
// as it lives, building one under the scratch directory when the system has
// none.
class commaLocale {
public:
    explicit commaLocale(const std::string& directory) {
        previous = std::setlocale(LC_NUMERIC, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                return;
            }
        }
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + directory + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            setenv("LOCPATH", directory.c_str(), 1);
            std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        }
    }
    ~commaLocale() {
        std::setlocale(LC_NUMERIC, previous.c_str());
        unsetenv("LOCPATH");
    }
    bool active() const { return std::strcmp(std::localeconv()->decimal_point, ",") == 0; }

private:
    std::string previous;
};

} // namespace

TEST_F(pluginCorePresetFiles, SavesTheWarmPresetByteForByte) {
    addWarmParameters(core);
    EXPECT_TRUE(core.savePreset(nullptr, "Warm"));
    EXPECT_EQ(ScratchDir::read("Warm.pre"),
              "Warm:1000:2:\n0:Level:6:0:-3.500000:\n1:Mode:2:0:1.000000:\n");
    ASSERT_EQ(core.getPresetCount(), 1);
    char text[25];
    core.getPresetName(0, text);
    EXPECT_STREQ(text, "Warm");
    EXPECT_EQ(core.presets[0].entryCount, 2);
    EXPECT_EQ(core.presets[0].values[0].value, -3.5f);
    EXPECT_EQ(core.presets[0].path, (std::filesystem::current_path() / "Warm.pre").string());
    EXPECT_EQ(core.getCurrentPreset(), -1);
}

TEST_F(pluginCorePresetFiles, ACoreWithoutParametersSavesTheHeaderAlone) {
    EXPECT_TRUE(core.savePreset(nullptr, "Empty"));
    EXPECT_EQ(ScratchDir::read("Empty.pre"), "Empty:1000:0:\n");
    ASSERT_EQ(core.getPresetCount(), 1);
    EXPECT_EQ(core.presets[0].entryCount, 0);
}

TEST_F(pluginCorePresetFiles, TheHeaderCarriesTheCurrentVersion) {
    core.setVersion(1203);
    core.savePreset(nullptr, "V");
    EXPECT_EQ(ScratchDir::read("V.pre"), "V:1203:0:\n");
}

TEST_F(pluginCorePresetFiles, SavingAgainUpdatesThePresetInPlaceWithExactValues) {
    addWarmParameters(core);
    core.parameters[0].value = -3.1234567f;
    ASSERT_TRUE(core.savePreset(nullptr, "Warm"));
    EXPECT_EQ(core.presets[0].values[0].value, -3.123457f); // six decimals

    core.parameters[0].value = -1.1234567f;
    EXPECT_FALSE(core.savePreset(nullptr, "Warm"));
    EXPECT_EQ(core.getPresetCount(), 1);
    EXPECT_EQ(core.presets[0].values[0].value, -1.1234567f);
    EXPECT_EQ(ScratchDir::read("Warm.pre"),
              "Warm:1000:2:\n0:Level:6:0:-1.123457:\n1:Mode:2:0:1.000000:\n");
}

TEST_F(pluginCorePresetFiles, RoundTripsThroughTheSixDecimalTextForm) {
    testCore source;
    addStandardParameters(source);
    source.parameters[cutoffParameter].value = 1234.5678f;
    source.setParameterData(titleParameter, reinterpret_cast<const uint8_t*>("hello"));
    const uint8_t blob[8] = {'0', '.', '7', '5', 'x', 0, 'y', 'z'};
    source.setParameterData(blobParameter, blob);
    ASSERT_TRUE(source.savePreset(nullptr, "Round"));
    static const char expected[] = "Round:1000:7:\n"
                                   "0:Level:6:0:-3.500000:\n"
                                   "1:Mode:2:0:1.000000:\n"
                                   "2:Cutoff:27:0:1234.567749:\n"
                                   "3:Title:28:16:hello:\n"
                                   "4:Blob:29:8:0.75x\0yz:\n"
                                   "5:(Hidden):10:0:3.000000:\n"
                                   "6:Amount:12:0:0.000000:\n";
    EXPECT_EQ(ScratchDir::read("Round.pre"), std::string(expected, sizeof expected - 1));

    testCore target;
    addStandardParameters(target);
    target.loadPresetFile("Round.pre", "Saved");
    ASSERT_EQ(target.getPresetCount(), 1);
    const presetRecord& preset = target.presets[0];
    EXPECT_EQ(preset.entryCount, 7);
    EXPECT_EQ(preset.values[levelParameter].value, -3.5f);
    EXPECT_EQ(preset.values[modeParameter].value, 1.0f);
    EXPECT_EQ(preset.values[cutoffParameter].value, 1234.567749f);
    EXPECT_EQ(preset.values[titleParameter].value, 0.0f); // text is no number
    EXPECT_EQ(preset.values[blobParameter].value, 0.75f); // the number it begins with
    EXPECT_EQ(preset.values[secretParameter].value, 3.0f);
    EXPECT_STREQ(preset.values[secretParameter].name, "(Hidden)");
    EXPECT_EQ(preset.values[titleParameter].kind, 28);
    EXPECT_EQ(preset.values[titleParameter].dataLength, 16);
    char group[25];
    target.getPresetGroup(0, group);
    EXPECT_STREQ(group, "Saved");

    target.selectPreset(0);
    EXPECT_EQ(target.parameters[cutoffParameter].value, 1234.567749f);
    EXPECT_EQ(target.parameters[secretParameter].value, 3.0f);
}

TEST_F(pluginCorePresetFiles, ColonsBecomeDashesInNamesOnly) {
    core.addParameter("Gain:L", 6, -60.0f, 6.0f, 1.0f);
    char name[] = ":a::b:";
    core.sanitizeName(name);
    EXPECT_STREQ(name, "-a--b-");
    core.sanitizeName(nullptr);

    ASSERT_TRUE(core.savePreset(nullptr, "Pad:2"));
    EXPECT_EQ(ScratchDir::read("Pad:2.pre"), "Pad-2:1000:1:\n0:Gain-L:6:0:1.000000:\n");
    char text[25];
    core.getPresetName(0, text);
    EXPECT_STREQ(text, "Pad-2");
    EXPECT_EQ(core.findPreset("Pad:2"), -1);
}

TEST_F(pluginCorePresetFiles, MissingEmptyOrUncreatableNamesSaveNothing) {
    EXPECT_FALSE(core.savePreset(nullptr, nullptr));
    EXPECT_FALSE(core.savePreset(nullptr, ""));
    EXPECT_FALSE(core.savePreset(nullptr, "no-such-directory/x"));
    EXPECT_EQ(core.getPresetCount(), 0);
}

TEST_F(pluginCorePresetFiles, ASaveThatCannotBeWrittenFullyAddsAndUpdatesNothing) {
    if (!ScratchDir::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to write to";
    }
    addWarmParameters(core);
    std::filesystem::create_symlink("/dev/full", "Full.pre");
    EXPECT_FALSE(core.savePreset(nullptr, "Full"));
    EXPECT_EQ(core.getPresetCount(), 0);

    ASSERT_TRUE(core.savePreset(nullptr, "Kept"));
    std::filesystem::remove("Kept.pre");
    std::filesystem::create_symlink("/dev/full", "Kept.pre");
    core.parameters[0].value = 2.0f;
    EXPECT_FALSE(core.savePreset(nullptr, "Kept"));
    EXPECT_EQ(core.presets[0].values[0].value, -3.5f);
}

TEST_F(pluginCorePresetFiles, OnlyAFinalDotPreIsAccepted) {
    const std::string text = "Ok:1000:0:\n";
    for (const char* refused : {"x.PRE", "x.pre.bak", "x.pre ", "pre", "x.Pre"}) {
        load(refused, text);
        EXPECT_EQ(core.getPresetCount(), 0) << refused;
    }
    core.loadPresetFile(nullptr, nullptr);
    std::filesystem::create_directory("dir.d");
    load("dir.d/x.pre", text);
    EXPECT_EQ(core.getPresetCount(), 1);
    std::filesystem::create_directory("plain.d");
    core.loadPresetFile("plain.d/nothing", nullptr); // last dot is in the directory
    core.loadPresetFile("absent.pre", nullptr);
    EXPECT_EQ(core.getPresetCount(), 1);
}

TEST_F(pluginCorePresetFiles, ValuesAreClampedToTheRangeOfTheSameIndex) {
    core.addParameter("Cutoff", 27, 20.0f, 20000.0f, 1000.0f);
    core.addParameter("Gain", 6, -60.0f, 6.0f, 0.0f);
    load("c.pre", "C:7:4:\n0:Cutoff:27:0:25000.000000:\n1:Gain:6:0:loud:\n2:X:0:0:99999:\n"
                  "3:Y:0:0:-5e3:\n");
    ASSERT_EQ(core.getPresetCount(), 1); // version 7 loads like 1000
    const presetRecord& preset = core.presets[0];
    EXPECT_EQ(preset.values[0].value, 20000.0f);
    EXPECT_EQ(preset.values[1].value, 0.0f);     // letters read as 0, inside -60..6
    EXPECT_EQ(preset.values[2].value, 99999.0f); // beyond the table: not clamped
    EXPECT_EQ(preset.values[3].value, -5000.0f);
}

TEST_F(pluginCorePresetFiles, LettersReadAsZeroAndThenClamp) {
    core.addParameter("Cutoff", 27, 20.0f, 20000.0f, 1000.0f);
    load("c.pre", "C:1000:1:\n0:Cutoff:27:0:abc:\n");
    EXPECT_EQ(core.presets[0].values[0].value, 20.0f);
}

TEST_F(pluginCorePresetFiles, OnlyTheAnnouncedNumberOfLinesIsRead) {
    load("five.pre", "Five:1000:2:\n0:A:0:0:1:\n1:B:0:0:2:\n2:C:0:0:3:\n"
                     "3:D:0:0:4:\n4:E:0:0:5:\n");
    ASSERT_EQ(core.getPresetCount(), 1);
    EXPECT_EQ(core.presets[0].entryCount, 2);
    ASSERT_EQ(core.presets[0].values.size(), 2u);
    EXPECT_STREQ(core.presets[0].values[1].name, "B");
    EXPECT_EQ(core.presets[0].values[1].value, 2.0f);
}

TEST_F(pluginCorePresetFiles, EntriesArePlacedByLineOrderNotByTheirIndexField) {
    load("o.pre", "O:1000:2:\n1:B:0:0:2:\n0:A:0:0:1:\n");
    EXPECT_STREQ(core.presets[0].values[0].name, "B");
    EXPECT_EQ(core.presets[0].values[0].value, 2.0f);
}

TEST_F(pluginCorePresetFiles, GroupsAreStoredOrLeftZero) {
    const std::string path = scratch.write("g.pre", "G:1000:0:\n");
    core.loadPresetFile(path.c_str(), "Keys");
    core.loadPresetFile(path.c_str(), nullptr);
    EXPECT_STREQ(core.presets[0].group, "Keys");
    const char zeros[24] = {};
    EXPECT_EQ(std::memcmp(core.presets[1].group, zeros, 24), 0);
}

TEST_F(pluginCorePresetFiles, NumbersUseADecimalPointWhateverTheLocale) {
    commaLocale locale(scratch.path());
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma could be set up";
    }
    addWarmParameters(core);
    ASSERT_TRUE(core.savePreset(nullptr, "Warm"));
    EXPECT_EQ(ScratchDir::read("Warm.pre"),
              "Warm:1000:2:\n0:Level:6:0:-3.500000:\n1:Mode:2:0:1.000000:\n");
    EXPECT_EQ(core.presets[0].values[0].value, -3.5f);

    load("c.pre", "C:1000:1:\n0:Level:6:0:-2,5:\n");
    EXPECT_EQ(core.presets[1].values[0].value, -2.0f); // the comma ends the number

    char text[64];
    core.getParameterProperty(0, 0, text);
    EXPECT_STREQ(text, "-3.50");
}
