#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include "core/presetLineReader.h"

#include "tests/core/testCore.h"
#include "tests/support/ScratchDir.h"

namespace {

// Files that no save would write: each must load to a defined result or
// not at all, and never read or write past a buffer.
class hostilePresetFiles : public ::testing::Test {
protected:
    void SetUp() override {
        core.addParameter("Cutoff", 27, 20.0f, 20000.0f, 1000.0f);
        core.addParameter("Gain", 6, -60.0f, 6.0f, 0.0f);
    }
    // Loads the bytes as a preset file; true when a preset was added.
    bool load(const std::string& bytes) {
        const int32_t before = core.getPresetCount();
        const std::string path = scratch.write("hostile" + std::to_string(files++) + ".pre", bytes);
        core.loadPresetFile(path.c_str(), nullptr);
        return core.getPresetCount() == before + 1;
    }
    const presetRecord& last() const { return core.presets.back(); }

    ScratchDir scratch{ScratchDir::Enter::yes};
    testCore core;
    int files = 0;
};

// Lowers the limit on the size of files this process writes for as long as
// it lives, with SIGXFSZ ignored: a write past the limit then fails as on a
// full disk, even for root.
class fileSizeLimit {
public:
    explicit fileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit lowered = previous;
        lowered.rlim_cur = bytes;
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~fileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    bool active = false;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

std::string garbage(size_t length, bool keepSeparators) {
    std::string bytes;
    uint32_t state = 12345;
    while (bytes.size() < length) {
        state = state * 1664525u + 1013904223u;
        const char c = static_cast<char>(state >> 24);
        if (keepSeparators || (c != ':' && c != '\n')) {
            bytes += c;
        }
    }
    return bytes;
}

} // namespace

TEST_F(hostilePresetFiles, FilesWithoutACompleteHeaderAddNothing) {
    EXPECT_FALSE(load(""));
    EXPECT_FALSE(load("\n"));
    EXPECT_FALSE(load("no separators at all\nnor here\n"));
    EXPECT_FALSE(load("Name:1000\n0:A:0:0:1:\n"));
    EXPECT_FALSE(load("Name:1000:2"));
    EXPECT_FALSE(load(garbage(4096, false)));
    EXPECT_EQ(core.getPresetCount(), 0);
}

TEST_F(hostilePresetFiles, ADirectoryNamedLikeAPresetAddsNothing) {
    std::filesystem::create_directory("folder.pre");
    core.loadPresetFile("folder.pre", nullptr);
    EXPECT_EQ(core.getPresetCount(), 0);
}

TEST_F(hostilePresetFiles, BinaryGarbageWithSeparatorsHasADefinedOutcome) {
    EXPECT_FALSE(load("\xff\xfe:\x80\x81:\x01\x02:\n\x00\x00:\x7f:"));
    // Whatever the bytes, loading them twice gives the same outcome.
    const std::string bytes = garbage(65536, true);
    const bool first = load(bytes);
    EXPECT_EQ(load(bytes), first);
}

TEST_F(hostilePresetFiles, AHeaderAloneGivesAPresetWithoutEntries) {
    ASSERT_TRUE(load("Bare:1000:0:"));
    EXPECT_EQ(last().entryCount, 0);
    EXPECT_TRUE(last().values.empty());
}

TEST_F(hostilePresetFiles, AnnouncedButMissingEntriesHoldZeroClampedToTheRange) {
    ASSERT_TRUE(load("Short:1000:4:\n0:Cutoff:27:0:440:\n"));
    const presetRecord& preset = last();
    EXPECT_EQ(preset.entryCount, 4);
    ASSERT_EQ(preset.values.size(), 4u);
    EXPECT_EQ(preset.values[0].value, 440.0f);
    EXPECT_EQ(preset.values[1].value, 0.0f); // Gain: 0 lies in -60..6
    EXPECT_EQ(preset.values[2].value, 0.0f); // beyond the table: 0
    EXPECT_STREQ(preset.values[3].name, "");
    EXPECT_EQ(preset.values[3].kind, 0);
    EXPECT_EQ(preset.values[3].dataLength, 0);

    ASSERT_TRUE(load("Missing:1000:1:\n"));
    EXPECT_EQ(last().values[0].value, 20.0f); // Cutoff: 0 clamps to its minimum
}

TEST_F(hostilePresetFiles, LinesLackingFieldsReadTheMissingOnesAsEmpty) {
    ASSERT_TRUE(load("Lacking:1000:3:\n0:Level\n1\n2:Name:6:0:-1.5\n"));
    const presetRecord& preset = last();
    EXPECT_STREQ(preset.values[0].name, "Level");
    EXPECT_EQ(preset.values[0].kind, 0);
    EXPECT_EQ(preset.values[0].value, 20.0f);
    EXPECT_STREQ(preset.values[1].name, "");
    EXPECT_EQ(preset.values[2].value, -1.5f); // the field runs to the line end
}

TEST_F(hostilePresetFiles, BadEntryCountsAreRefusedWithoutAllocating) {
    for (const char* count : {"-1", "2147483647", "1000000000000", "abc", "", "16385"}) {
        EXPECT_FALSE(load(std::string("Bad:1000:") + count + ":\n0:A:0:0:1:\n")) << count;
    }
    EXPECT_EQ(core.getPresetCount(), 0);
    ASSERT_TRUE(load("Wide:1000: +2junk:\n0:A:0:0:1:\n1:B:0:0:2:\n")); // atoi reading
    EXPECT_EQ(last().entryCount, 2);
    ASSERT_TRUE(load("Most:1000:16384:\n"));
    EXPECT_EQ(last().values.size(), 16384u);
}

TEST_F(hostilePresetFiles, AVeryLongHeaderIsCutAndItsRestIsNotTheNextLine) {
    ASSERT_TRUE(load("Big:1000:1:" + std::string(1 << 20, 'x') + "\n0:Cutoff:27:0:5000:\n"));
    EXPECT_EQ(last().values[0].value, 5000.0f);
    EXPECT_STREQ(last().values[0].name, "Cutoff");

    // A name as long as the buffer leaves no room for the separators.
    EXPECT_FALSE(load(std::string(1 << 20, 'N') + ":1000:1:\n"));
}

TEST_F(hostilePresetFiles, VeryLongEntryLinesAreCutWithinTheirOwnLine) {
    ASSERT_TRUE(load("Long:1000:3:\n0:A:27:0:7000:" + std::string(1 << 20, 'y') +
                     "\n1:B:6:0:-8:\n" + "2:" + std::string(600, 'n') + ":0:0:9:\n"));
    const presetRecord& preset = last();
    EXPECT_EQ(preset.values[0].value, 7000.0f);
    EXPECT_EQ(preset.values[1].value, -8.0f);
    EXPECT_EQ(std::memcmp(preset.values[2].name, std::string(24, 'n').data(), 24), 0);
    EXPECT_EQ(preset.values[2].value, 0.0f); // its value lay beyond the buffer
}

TEST_F(hostilePresetFiles, LongNamesAreCutAtTheirField) {
    ASSERT_TRUE(load(std::string(100, 'P') + ":1000:1:\n0:" + std::string(100, 'Q') + ":6:0:1:\n"));
    EXPECT_EQ(std::memcmp(last().name, std::string(24, 'P').data(), 24), 0);
    char text[25];
    core.getPresetName(0, text);
    EXPECT_EQ(std::string(text), std::string(24, 'P'));
}

TEST_F(hostilePresetFiles, NulBytesEndTheTextOfTheirLine) {
    EXPECT_FALSE(load(std::string("Wa\0rm:1000:1:\n", 14)));
    ASSERT_TRUE(load(std::string("Warm:1000:2:\0tail\n0:A\0:6:0:4:\n1:B:6:0:-4:\n", 42)));
    EXPECT_STREQ(last().name, "Warm");
    EXPECT_STREQ(last().values[0].name, "A");
    EXPECT_EQ(last().values[0].value, 20.0f); // fields after the NUL are missing
    EXPECT_EQ(last().values[1].value, -4.0f);
}

TEST_F(hostilePresetFiles, CrLfFilesLoadLikeLfFiles) {
    ASSERT_TRUE(load("Warm:1000:2:\r\n0:Cutoff:27:0:300.500000:\r\n1:Gain:6:0:-3.5\r\n"));
    EXPECT_STREQ(last().name, "Warm");
    EXPECT_EQ(last().values[0].value, 300.5f);
    EXPECT_EQ(last().values[1].value, -3.5f);
}

TEST_F(hostilePresetFiles, InfinitiesClampAndNaNsReadAsZero) {
    ASSERT_TRUE(load("N:1000:4:\n0:A:0:0:nan:\n1:B:0:0:-inf:\n2:C:0:0:nan(1):\n3:D:0:0:inf:\n"));
    const presetRecord& preset = last();
    EXPECT_EQ(preset.values[0].value, 20.0f);  // NaN reads as 0, then clamps
    EXPECT_EQ(preset.values[1].value, -60.0f); // clamped
    EXPECT_EQ(preset.values[2].value, 0.0f);   // beyond the table: 0
    EXPECT_TRUE(std::isinf(preset.values[3].value));
}

TEST_F(hostilePresetFiles, NumbersBeyondTheFloatRangeSaturate) {
    ASSERT_TRUE(load("R:1000:5:\n0:A:0:0:1e400:\n1:B:0:0:-1e400:\n2:C:0:0:1e-400:\n"
                     "3:D:0:0:1e39:\n4:E:0:0:0x10:\n"));
    const presetRecord& preset = last();
    EXPECT_EQ(preset.values[0].value, 20000.0f);
    EXPECT_EQ(preset.values[1].value, -60.0f);
    EXPECT_EQ(preset.values[2].value, 0.0f);
    EXPECT_EQ(preset.values[3].value, std::numeric_limits<float>::infinity());
    EXPECT_EQ(preset.values[4].value, 16.0f); // hexadecimal, as atof reads it
}

TEST_F(hostilePresetFiles, HugeKindAndLengthFieldsSaturate) {
    ASSERT_TRUE(load("K:1000:1:\n0:A:99999999999:-99999999999:1:\n"));
    EXPECT_EQ(last().values[0].kind, 2147483647);
    EXPECT_EQ(last().values[0].dataLength, -2147483647 - 1);
}

TEST_F(hostilePresetFiles, APathFillingItsFieldIsKeptCutAndNeverDeletedInPlaceOfAnother) {
    const std::string deep = std::string(200, 'd') + "/" + std::string(200, 'e');
    std::filesystem::create_directories(deep);
    const std::string path = scratch.path() + "/" + deep + "/long.pre";
    ASSERT_GE(path.size(), pluginCore::kPathSize);
    scratch.write(deep + "/long.pre", "Long:1000:0:\n");
    core.loadPresetFile(path.c_str(), nullptr);
    ASSERT_EQ(core.getPresetCount(), 1);
    EXPECT_EQ(std::memcmp(core.presets[0].path, path.data(), pluginCore::kPathSize), 0);

    core.deletePreset(nullptr, "Long");
    EXPECT_EQ(core.getPresetCount(), 1);
    EXPECT_TRUE(ScratchDir::exists(path));
}

TEST_F(hostilePresetFiles, ASaveThatFailsPartWayLeavesTheFolderAsItWas) {
    struct row {
        const char* fault;
        const char* name;
        bool overwrites; // saved once before, so the save replaces a file
    };
    const row rows[] = {
        {"a new preset cut short", "Fresh", false},
        {"an update cut short", "Kept", true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.fault);
        const std::string file = std::string(r.name) + ".pre";
        core.parameters[1].value = 0.0f;
        if (r.overwrites) {
            ASSERT_TRUE(core.savePreset(nullptr, r.name));
        }
        const std::vector<std::string> before = scratch.entries();
        const std::string contents = ScratchDir::read(file);
        const int32_t count = core.getPresetCount();
        core.parameters[1].value = -7.0f;
        bool saved = true;
        {
            fileSizeLimit limit(20); // the header fits, the entries do not
            ASSERT_TRUE(limit.active);
            saved = core.savePreset(nullptr, r.name);
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(scratch.entries(), before);
        EXPECT_EQ(ScratchDir::read(file), contents);
        EXPECT_EQ(core.getPresetCount(), count);
        if (r.overwrites) {
            EXPECT_EQ(core.presets.back().values[1].value, 0.0f);
        }
    }
}

TEST_F(hostilePresetFiles, EverySavedNameOwnsItsPresetAndItsFile) {
    const std::string field(24, 'A');
    struct row {
        const char* fault;
        std::function<void(int32_t base)> check; // base: presets before the row
    };
    const row rows[] = {
        {"a name longer than the field is refused",
         [&](int32_t base) {
             const std::string name = field + "-one";
             EXPECT_FALSE(core.savePreset(nullptr, name.c_str()));
             EXPECT_FALSE(ScratchDir::exists(name + ".pre"));
             EXPECT_EQ(core.getPresetCount(), base);
         }},
        {"a longer name that shares the field deletes nothing",
         [&](int32_t) {
             ASSERT_TRUE(load(field + "1234:1000:0:\n"));
             const std::string path = last().path;
             EXPECT_LT(core.deletePreset(nullptr, (field + "5678").c_str()), 0);
             EXPECT_TRUE(ScratchDir::exists(path));
         }},
        {"a save leaves a preset read from another file alone",
         [&](int32_t base) {
             ASSERT_TRUE(load("Warm:1000:2:\n0:Cutoff:27:0:500:\n1:Gain:6:0:-1:\n"));
             const std::string elsewhere = last().path;
             EXPECT_TRUE(core.savePreset(nullptr, "Warm"));
             EXPECT_EQ(core.presets[base].values[0].value, 500.0f);
             EXPECT_EQ(last().path, (std::filesystem::current_path() / "Warm.pre").string());
             core.deletePreset(nullptr, "Warm");
             core.deletePreset(nullptr, "Warm");
             EXPECT_FALSE(ScratchDir::exists(elsewhere));
             EXPECT_FALSE(ScratchDir::exists("Warm.pre"));
         }},
        {"a name with a control character is refused",
         [&](int32_t base) {
             for (const std::string name : {"Two\nLines", "Tab\tbed", "Ring\a", "Rub\x7f"}) {
                 EXPECT_FALSE(core.savePreset(nullptr, name.c_str())) << name;
                 EXPECT_FALSE(ScratchDir::exists(name + ".pre")) << name;
             }
             EXPECT_EQ(core.getPresetCount(), base);
         }},
        {"a new working folder redirects neither an update nor a delete",
         [&](int32_t base) {
             core.parameters[1].value = -1.0f;
             ASSERT_TRUE(core.savePreset(nullptr, "Moved"));
             const std::string first = scratch.file("Moved.pre");
             std::filesystem::create_directory("elsewhere");
             std::filesystem::current_path("elsewhere");
             core.parameters[1].value = -2.0f;
             EXPECT_TRUE(core.savePreset(nullptr, "Moved")) << "a new file, a new preset";
             EXPECT_EQ(core.presets[base].values[1].value, -1.0f);
             EXPECT_GE(core.deletePreset(nullptr, "Moved"), 0);
             EXPECT_FALSE(ScratchDir::exists(first));
             EXPECT_TRUE(ScratchDir::exists("Moved.pre"));
             std::filesystem::current_path(scratch.path());
         }},
        {"a read-only file stays as it is, even for root",
         [&](int32_t base) {
             const std::string locked = scratch.write("Locked.pre", "Locked:1000:0:\n");
             std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
             EXPECT_FALSE(core.savePreset(nullptr, "Locked"));
             EXPECT_EQ(ScratchDir::read(locked), "Locked:1000:0:\n");
             EXPECT_EQ(core.getPresetCount(), base);
         }},
        {"a name with a colon saved twice is one preset",
         [&](int32_t base) {
             EXPECT_TRUE(core.savePreset(nullptr, "Pad:2"));
             EXPECT_FALSE(core.savePreset(nullptr, "Pad:2"));
             EXPECT_EQ(core.getPresetCount(), base + 1);
             core.deletePreset(nullptr, "Pad-2");
             EXPECT_FALSE(ScratchDir::exists("Pad:2.pre"));
         }},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.fault);
        r.check(core.getPresetCount());
    }
}

TEST_F(hostilePresetFiles, FilesWithoutAnEndAreGivenUpInBoundedTime) {
    const size_t line = presetLineReader::kMaxLineLength;
    struct row {
        const char* fault;
        std::function<std::string()> make; // returns the path to load
    };
    const row rows[] = {
        {"a link to /dev/zero",
         [] {
             std::filesystem::create_symlink("/dev/zero", "zero.pre");
             return std::string("zero.pre");
         }},
        {"a pipe nobody writes to",
         [] {
             mkfifo("pipe.pre", 0600);
             return std::string("pipe.pre");
         }},
        {"a header line that never ends",
         [&] { return scratch.write("header.pre", "Big:1000:0:" + std::string(line, 'x')); }},
        {"an entry line past the line limit",
         [&] {
             return scratch.write("entry.pre",
                                  "E:1000:1:\n0:A:0:0:1:" + std::string(line, 'y') + "\n");
         }},
        {"lines within the limit past the file limit",
         [&] {
             std::string text = "F:1000:5:\n";
             while (text.size() <= presetLineReader::kMaxFileLength) {
                 text += "0:A:0:0:1:" + std::string(line - 16, 'z') + "\n";
             }
             return scratch.write("file.pre", text);
         }},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.fault);
        const std::string path = r.make();
        core.loadPresetFile(path.c_str(), nullptr);
        EXPECT_EQ(core.getPresetCount(), 0);
    }
}
