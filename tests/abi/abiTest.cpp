// Host-level checks against the built plug-in library: its entry points,
// identity and record, the answer to every opcode, exact pass-through and
// many instances at once. What takes odd arguments in-process lives in the
// hostile-host suite.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/support/fakeHost.h"
#include "tests/support/hostAnswers.h"
#include "tests/support/PluginLibrary.h"

namespace {

class AbiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library = std::make_unique<PluginLibrary>(TQ_PLUGIN_PATH); }
    static void TearDownTestSuite() { library.reset(); }

    void SetUp() override {
        ASSERT_TRUE(library->loaded()) << library->error();
        fakeHost::reset(true);
        effect = create();
        ASSERT_NE(effect, nullptr);
    }

    void TearDown() override {
        if (effect) {
            EXPECT_EQ(dispatch(effClose), 1);
        }
    }

    static AEffect* create() {
        auto entry = library->entry("VSTPluginMain");
        return entry ? entry(fakeHost::callback) : nullptr;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    static std::unique_ptr<PluginLibrary> library;
    AEffect* effect = nullptr;
};

std::unique_ptr<PluginLibrary> AbiTest::library;

std::vector<float> randomBlock(std::mt19937& rng, size_t frames) {
    std::uniform_real_distribution<float> dist(-1.5f, 1.5f);
    std::vector<float> block(frames);
    for (float& x : block) {
        x = dist(rng);
    }
    return block;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Runs one stereo block through `effect`, into outputs of its own or in
// place, and tells whether both channels came out bit for bit as they went in.
bool passesThrough(AEffect* effect, const std::vector<float>& left, const std::vector<float>& right,
                   bool inPlace = false) {
    std::vector<float> inLeft = left, inRight = right;
    std::vector<float> outLeft(left.size(), 9.0f), outRight(right.size(), 9.0f);
    float* ins[2] = {inLeft.data(), inRight.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, ins, inPlace ? ins : outs, static_cast<VstInt32>(left.size()));
    return sameBits(inPlace ? inLeft : outLeft, left) &&
           sameBits(inPlace ? inRight : outRight, right);
}

} // namespace

TEST_F(AbiTest, EntryPointsAreOneFunctionUnderTwoNames) {
    auto vstMain = library->entry("VSTPluginMain");
    auto plainMain = library->entry("main");
    ASSERT_NE(vstMain, nullptr);
    ASSERT_NE(plainMain, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(vstMain), reinterpret_cast<void*>(plainMain));

    AEffect* second = plainMain(fakeHost::callback);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, effect);
    EXPECT_EQ(second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST_F(AbiTest, CreationAsksOnlyForTheHostVersion) {
    ASSERT_EQ(fakeHost::calls.size(), 1u);
    EXPECT_EQ(fakeHost::calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(fakeHost::calls[0].index, 0);
    EXPECT_EQ(fakeHost::calls[0].value, 0);
}

TEST_F(AbiTest, RecordHoldsTheProductsValues) {
    static_assert(kEffectMagic == 0x56737450);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 0);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 17);
    EXPECT_EQ(effect->flags & (effFlagsProgramChunks | effFlagsIsSynth |
                               effFlagsCanDoubleReplacing | effFlagsNoSoundInStop),
              0);
    EXPECT_EQ(effect->uniqueID, ('t' << 24) | ('q' << 16) | ('0' << 8) | '2');
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->realQualities, 0);
    EXPECT_EQ(effect->offQualities, 0);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->dispatcher, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_NE(effect->setParameter, nullptr);
    EXPECT_NE(effect->getParameter, nullptr);
    for (char byte : effect->future) {
        EXPECT_EQ(byte, 0);
    }
}

TEST_F(AbiTest, EveryOpcodeGivesTheAnswersAHostReliesOn) {
    for (VstInt32 opcode = hostAnswers::kFirstOpcode; opcode <= hostAnswers::kLastOpcode;
         ++opcode) {
        if (opcode == effClose) {
            continue;
        }
        alignas(16) char buffer[512] = {};
        EXPECT_EQ(dispatch(opcode, 0, 0, buffer, 0.0f), hostAnswers::expected(opcode, 0, buffer))
            << "opcode " << opcode;
    }
    // No chunk is handed out, and no capability is claimed.
    void* chunk = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(dispatch(effGetChunk, 1, 0, &chunk), 0);
    for (const char* what :
         {"receiveVstMidiEvent", "sendVstEvents", "bypass", "", "plugAsChannelInsert"}) {
        std::string text = what;
        EXPECT_EQ(dispatch(effCanDo, 0, 0, text.data()), 0) << what;
    }
}

TEST_F(AbiTest, IdentityTexts) {
    struct Row {
        VstInt32 opcode;
        const char* text;
    };
    for (const Row& row :
         {Row{effGetEffectName, "tq-spectrum"}, Row{effGetProductString, "tq-spectrum"},
          Row{effGetVendorString, "corvale"}}) {
        SCOPED_TRACE(row.opcode);
        char text[256];
        std::memset(text, 'x', sizeof(text));
        EXPECT_EQ(dispatch(row.opcode, 0, 0, text), 1);
        EXPECT_STREQ(text, row.text);
        EXPECT_EQ(text[std::strlen(row.text) + 1], 'x') << "nothing written past the terminator";
    }
    EXPECT_EQ(dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(effect->version, 1);
}

TEST_F(AbiTest, ProgramRequestsReachTheEmptyPresetList) {
    char name[64];
    std::memset(name, 'x', sizeof(name));
    EXPECT_EQ(dispatch(effGetProgram), -1);
    EXPECT_EQ(dispatch(effGetProgramName, 0, 0, name), 0);
    EXPECT_STREQ(name, "");

    char newName[] = "My program";
    EXPECT_EQ(dispatch(effSetProgramName, 0, 0, newName), 0);
    std::memset(name, 'x', sizeof(name));
    dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "") << "the name comes from the core, not from the text just set";

    // The extremes of the host's integer too: those of 64-bit hosts reach
    // past 32 bits, where a careless narrowing makes program 0 or -1.
    for (VstIntPtr program :
         {VstIntPtr{1}, VstIntPtr{0}, VstIntPtr{-1}, std::numeric_limits<VstIntPtr>::max(),
          std::numeric_limits<VstIntPtr>::min()}) {
        EXPECT_EQ(dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(dispatch(effGetProgram), -1);
    }
}

TEST_F(AbiTest, SpeakerArrangementWritesNullIntoTheGivenLocations) {
    void* input = reinterpret_cast<void*>(0x1);
    void* output = reinterpret_cast<void*>(0x2);
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output),
              0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    output = reinterpret_cast<void*>(0x2);
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, &output), 0);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST_F(AbiTest, ProcessReplacingPassesAudioThroughBitForBit) {
    std::mt19937 rng(7);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
    for (size_t frames : {1u, 7u, 64u, 513u, 1024u, 4097u, 10000u}) {
        const auto left = randomBlock(rng, frames);
        const auto right = randomBlock(rng, frames);
        EXPECT_TRUE(passesThrough(effect, left, right)) << frames;
    }
}

TEST_F(AbiTest, ProcessReplacingInPlaceKeepsTheAudio) {
    std::mt19937 rng(11);
    for (size_t frames : {3u, 512u, 5000u}) {
        const auto left = randomBlock(rng, frames);
        const auto right = randomBlock(rng, frames);
        EXPECT_TRUE(passesThrough(effect, left, right, true)) << frames;
    }
}

TEST_F(AbiTest, SpecialSampleValuesPassThroughUnchanged) {
    std::vector<float> left = {std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::denorm_min(),
                               -0.0f,
                               1e30f};
    left.resize(2048, 1.0f);
    EXPECT_TRUE(passesThrough(effect, left, {left.rbegin(), left.rend()}));
}

TEST_F(AbiTest, SuspendAndResumeAnswerZero) {
    EXPECT_EQ(dispatch(effMainsChanged, 0, 0), 0);
    EXPECT_EQ(dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(dispatch(effMainsChanged, 0, -3), 0);
    // Resume sends nothing to the host: no MIDI is wanted.
    EXPECT_EQ(fakeHost::calls.size(), 1u);
}

TEST_F(AbiTest, SixtyFourInstancesAtOnce) {
    std::vector<AEffect*> effects;
    for (int i = 0; i < 64; ++i) {
        AEffect* e = create();
        ASSERT_NE(e, nullptr);
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f + static_cast<float>(i));
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
        effects.push_back(e);
    }
    std::mt19937 rng(3);
    for (int round = 0; round < 3; ++round) {
        for (AEffect* e : effects) {
            const auto left = randomBlock(rng, 2048);
            const auto right = randomBlock(rng, 2048);
            ASSERT_TRUE(passesThrough(e, left, right));
        }
    }
    for (AEffect* e : effects) {
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}
