// Host-level checks against the built plug-in library: identity, every
// dispatcher answer, the record's entries and exact pass-through.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
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

TEST_F(AbiTest, HostThatDoesNotAnswerTheVersionGetsNoPlugin) {
    fakeHost::version = 0;
    fakeHost::calls.clear();
    EXPECT_EQ(create(), nullptr);
    ASSERT_EQ(fakeHost::calls.size(), 1u);
    EXPECT_EQ(fakeHost::calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(library->entry("VSTPluginMain")(nullptr), nullptr);
}

TEST_F(AbiTest, CreationAsksOnlyForTheHostVersion) {
    ASSERT_EQ(fakeHost::calls.size(), 1u);
    EXPECT_EQ(fakeHost::calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(fakeHost::calls[0].index, 0);
    EXPECT_EQ(fakeHost::calls[0].value, 0);
}

TEST_F(AbiTest, RecordHoldsTheProductsValues) {
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->magic, 0x56737450);
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
}

TEST_F(AbiTest, IdentityTexts) {
    char text[256];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "tq-spectrum");
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "tq-spectrum");
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "corvale");
    EXPECT_EQ(text[8], 'x') << "nothing written past the terminator";
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

TEST_F(AbiTest, ParameterRequestsAreRefusedForEveryIndex) {
    for (VstInt32 index : {0, 1, -1, 1000, std::numeric_limits<VstInt32>::min(),
                           std::numeric_limits<VstInt32>::max()}) {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        text[63] = 0;
        EXPECT_EQ(dispatch(effGetParamName, index, 0, text), 0);
        EXPECT_EQ(dispatch(effGetParamLabel, index, 0, text), 0);
        EXPECT_EQ(dispatch(effGetParamDisplay, index, 0, text), 0);
        EXPECT_EQ(text[0], 'x') << "the host's text stays as it was";
        EXPECT_EQ(effect->getParameter(effect, index), -1.0f);
        effect->setParameter(effect, index, 0.7f);
        EXPECT_EQ(effect->getParameter(effect, index), -1.0f);
        EXPECT_EQ(dispatch(effCanBeAutomated, index), 1);
    }
}

TEST_F(AbiTest, ChunksEventsAndCapabilitiesAreDeclined) {
    void* chunk = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(dispatch(effGetChunk, 1, 0, &chunk), 0);
    char data[16] = "whatever";
    EXPECT_EQ(dispatch(effSetChunk, 0, sizeof(data), data), 0);
    EXPECT_EQ(dispatch(effProcessEvents, 0, 0, data), 0);
    for (const char* what :
         {"receiveVstMidiEvent", "sendVstEvents", "bypass", "", "plugAsChannelInsert"}) {
        std::string text = what;
        EXPECT_EQ(dispatch(effCanDo, 0, 0, text.data()), 0) << what;
    }
    EXPECT_EQ(dispatch(effGetTailSize), 0);
    EXPECT_EQ(dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram, 0, 0, data), -1);
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

TEST_F(AbiTest, TotalSampleToProcessEchoesTheValue) {
    EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 4096), 4096);
    EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, -7), -7);
}

TEST_F(AbiTest, EditorRectangleIs570By180BeforeAnyOpen) {
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 180);
    EXPECT_EQ(rect->right, 570);
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, nullptr), 0) << "nowhere to write: not answered";
}

TEST_F(AbiTest, EditorOpcodesWithoutAWindowAreHarmless) {
    EXPECT_EQ(dispatch(effEditIdle), 0);
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x41, nullptr, 1e30f), 0);
    EXPECT_EQ(dispatch(effEditKeyUp, 'a', -1, nullptr, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(dispatch(effEditIdle), 0);
}

TEST_F(AbiTest, NullTextBuffersAreNeverWritten) {
    for (VstInt32 opcode :
         {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
          effGetParamName, effCanDo, effGetChunk, effSetChunk, effProcessEvents}) {
        EXPECT_EQ(dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    }
    EXPECT_EQ(dispatch(effGetEffectName, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(effGetVendorString, 0, 0, nullptr), 0);
    EXPECT_EQ(dispatch(effGetProductString, 0, 0, nullptr), 0);
}

TEST_F(AbiTest, SampleRateAndBlockSizeAcceptAnything) {
    for (float rate : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), 1.0f, 1e7f, 48000.0f}) {
        EXPECT_EQ(dispatch(effSetSampleRate, 0, 0, nullptr, rate), 0);
    }
    for (VstIntPtr size : {VstIntPtr{0}, VstIntPtr{-5}, VstIntPtr{1000000}, VstIntPtr{512}}) {
        EXPECT_EQ(dispatch(effSetBlockSize, 0, size), 0);
    }
    EXPECT_EQ(dispatch(effMainsChanged, 0, 1), 0);
    std::vector<float> in(512, 0.25f), out(512, 0.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    effect->processReplacing(effect, ins, outs, 512);
    EXPECT_EQ(out, in);
}

TEST_F(AbiTest, ProcessReplacingPassesAudioThroughBitForBit) {
    std::mt19937 rng(7);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
    for (size_t frames : {1u, 7u, 64u, 513u, 1024u, 4097u, 10000u}) {
        auto left = randomBlock(rng, frames);
        auto right = randomBlock(rng, frames);
        std::vector<float> outLeft(frames, 9.0f), outRight(frames, 9.0f);
        float* ins[2] = {left.data(), right.data()};
        float* outs[2] = {outLeft.data(), outRight.data()};
        effect->processReplacing(effect, ins, outs, static_cast<VstInt32>(frames));
        EXPECT_TRUE(sameBits(outLeft, left)) << frames;
        EXPECT_TRUE(sameBits(outRight, right)) << frames;
    }
}

TEST_F(AbiTest, ProcessReplacingInPlaceKeepsTheAudio) {
    std::mt19937 rng(11);
    for (size_t frames : {3u, 512u, 5000u}) {
        auto left = randomBlock(rng, frames);
        auto right = randomBlock(rng, frames);
        auto leftCopy = left, rightCopy = right;
        float* chans[2] = {left.data(), right.data()};
        effect->processReplacing(effect, chans, chans, static_cast<VstInt32>(frames));
        EXPECT_TRUE(sameBits(left, leftCopy));
        EXPECT_TRUE(sameBits(right, rightCopy));
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
    std::vector<float> right(left.rbegin(), left.rend());
    std::vector<float> outLeft(left.size()), outRight(left.size());
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, ins, outs, static_cast<VstInt32>(left.size()));
    EXPECT_TRUE(sameBits(outLeft, left));
    EXPECT_TRUE(sameBits(outRight, right));
}

TEST_F(AbiTest, OddFrameCountsAndMissingBuffersDoNotCrash) {
    std::vector<float> in(64, 0.5f), out(64, 3.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    effect->processReplacing(effect, ins, outs, 0);
    effect->processReplacing(effect, ins, outs, -5);
    effect->processReplacing(effect, ins, outs, std::numeric_limits<VstInt32>::min());
    EXPECT_EQ(out, std::vector<float>(64, 3.0f)) << "nothing copied for no frames";
    effect->processReplacing(effect, nullptr, nullptr, 64);
    effect->processReplacing(effect, ins, nullptr, 64);
    float* noChannels[2] = {nullptr, nullptr};
    effect->processReplacing(effect, noChannels, outs, 64);
    effect->processReplacing(effect, ins, noChannels, 64);
    float* leftOnly[2] = {in.data(), nullptr};
    effect->processReplacing(effect, leftOnly, outs, 64);
    EXPECT_EQ(out, in) << "channel 0 still passes through";
}

TEST_F(AbiTest, DeprecatedProcessLeavesOutputsAlone) {
    std::vector<float> in(1024, 0.5f), out(1024, 3.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    effect->process(effect, ins, outs, 1024);
    EXPECT_EQ(out, std::vector<float>(1024, 3.0f));
    double din[4] = {1, 2, 3, 4}, dout[4] = {};
    double* dins[2] = {din, din};
    double* douts[2] = {dout, dout};
    effect->processDoubleReplacing(effect, dins, douts, 4);
    EXPECT_EQ(dout[0], 0.0);
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
            auto left = randomBlock(rng, 2048);
            auto right = randomBlock(rng, 2048);
            std::vector<float> outLeft(2048), outRight(2048);
            float* ins[2] = {left.data(), right.data()};
            float* outs[2] = {outLeft.data(), outRight.data()};
            e->processReplacing(e, ins, outs, 2048);
            ASSERT_TRUE(sameBits(outLeft, left));
            ASSERT_TRUE(sameBits(outRight, right));
        }
    }
    for (AEffect* e : effects) {
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}
