// Hosts that treat the plug-in roughly: scanners that send every opcode with
// odd arguments, absurd sample rates and block sizes, broken channel arrays
// and sample values, editor calls in the wrong order, and calls that run out
// of memory. Nothing may crash, every answer is the one a host relies on,
// and the audio still passes through bit for bit afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestHost.h"
#include "tests/reliability/TestSignal.h"
#include "tests/support/allocationHook.h"
#include "tests/support/hostAnswers.h"
#include "toolkit/CFrame.h"

// [SECTION] Argument pools and the opcode sweep
// [SECTION] Every opcode
// [SECTION] Sample rates and block sizes
// [SECTION] Frame counts, channel pointers and sample values
// [SECTION] Editor calls out of order
// [SECTION] Allocation failures

namespace {

// [SECTION] Argument pools and the opcode sweep

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr VstIntPtr kValueMax = std::numeric_limits<VstIntPtr>::max();
constexpr VstIntPtr kValueMin = std::numeric_limits<VstIntPtr>::min();
constexpr VstInt32 kIndexMax = std::numeric_limits<VstInt32>::max();
constexpr VstInt32 kIndexMin = std::numeric_limits<VstInt32>::min();

const std::vector<VstInt32> kIndices = {0, 1, -1, kIndexMin, kIndexMax};
const std::vector<VstIntPtr> kValues = {0, 1, -1, kValueMin, kValueMax, VstIntPtr{1} << 31};
const std::vector<float> kFloats = {0.0f, -1.0f, 1e38f, -1e38f, kNaN, kInf, -kInf, 1e-40f};

// A buffer the host lends the plug-in: either zeros or a text longer than
// any field, with a known pattern to detect writes.
class HostBuffer {
public:
    explicit HostBuffer(bool text) : text(text) { refill(); }
    void refill() {
        std::memset(bytes, text ? 'A' : 0, sizeof bytes);
        bytes[sizeof bytes - 1] = 0;
    }
    bool unchanged() const {
        HostBuffer fresh(text);
        return std::memcmp(bytes, fresh.bytes, sizeof bytes) == 0;
    }
    void* data() { return bytes; }

private:
    bool text;
    alignas(16) unsigned char bytes[4096];
};

// Runs every opcode of the sweep but effClose over the argument pools.
// The editor stays closed unless `window` is given, in which case it is
// reopened there whenever a call closed it.
struct SweepResult {
    int64_t calls = 0;
    int64_t wrongAnswers = 0;
    int64_t strayWrites = 0;
    int64_t firstWrongOpcode = -100;
};

SweepResult sweepOpcodes(const TestHost& host, HeadlessWindow* window,
                         const std::vector<VstInt32>& indices, const std::vector<VstIntPtr>& values,
                         const std::vector<float>& floats) {
    SweepResult result;
    HostBuffer zeros(false);
    HostBuffer text(true);
    void* arrangements[2] = {};
    for (VstInt32 opcode = hostAnswers::kFirstOpcode; opcode <= hostAnswers::kLastOpcode;
         ++opcode) {
        if (opcode == effClose) {
            continue;
        }
        for (int32_t p = 0; p < 3; ++p) {
            for (const VstInt32 index : indices) {
                for (VstIntPtr value : values) {
                    for (const float opt : floats) {
                        HostBuffer* buffer = p == 1 ? &zeros : p == 2 ? &text : nullptr;
                        void* ptr = buffer ? buffer->data() : nullptr;
                        bool toWindow = false;
                        if (opcode == effEditOpen && window && p == 2) {
                            ptr = window->handle();
                            buffer = nullptr;
                            toWindow = true;
                        }
                        if (opcode == effGetSpeakerArrangement) {
                            // The value is a location too: real or none.
                            value = value == 0 ? 0 : reinterpret_cast<VstIntPtr>(arrangements);
                        }
                        const VstIntPtr answer = host.dispatch(opcode, index, value, ptr, opt);
                        ++result.calls;
                        if (!hostAnswers::isExpected(answer, opcode, value, ptr, window,
                                                     toWindow)) {
                            ++result.wrongAnswers;
                            if (result.firstWrongOpcode == -100) {
                                result.firstWrongOpcode = opcode;
                            }
                        }
                        if (buffer && !hostAnswers::writesThroughPointer(opcode) &&
                            !buffer->unchanged()) {
                            ++result.strayWrites;
                        }
                        if (buffer) {
                            buffer->refill();
                        }
                        if (window && !host.editor().opened) {
                            host.dispatch(effEditOpen, 0, 0, window->handle());
                        }
                    }
                }
            }
        }
    }
    return result;
}

// Plays `blocks` blocks of loud audio of `frames` each and tells whether all
// of it came out unchanged.
bool playsThrough(const TestHost& host, size_t frames, int32_t blocks, uint32_t seed = 3) {
    StereoBlock block(frames);
    TestSignal signal(seed);
    for (int32_t b = 0; b < blocks; ++b) {
        signal.fill(TestSignal::Kind::loud, block.input(0), block.input(1), frames);
        host.processReplacing(block.inputs(), block.outputs(), static_cast<VstInt32>(frames));
        if (!block.passedThrough(0, frames) || !block.passedThrough(1, frames)) {
            return false;
        }
    }
    return true;
}

// Opens the editor in a window of its own, idles it through decays,
// switches the axis both ways and visits the About panel; false if any step
// misbehaved.
bool exerciseEditor(const TestHost& host) {
    HeadlessWindow window;
    if (host.dispatch(effEditOpen, 0, 0, window.handle()) != 1) {
        return false;
    }
    const auto idleFor = [&](int32_t steps) {
        for (int32_t i = 0; i < steps; ++i) {
            HeadlessSystem::advanceTicks(10);
            host.dispatch(effEditIdle);
        }
    };
    idleFor(30);
    window.scriptPopupChoice(3); // Logarithmic
    window.click(37, 10);
    idleFor(30);
    window.scriptPopupChoice(2); // Linear
    window.click(37, 10);
    window.scriptPopupChoice(3); // About...
    window.click(72, 10);
    idleFor(5);
    window.click(517, 162); // OK
    idleFor(5);
    const tq_spectrumEditor& editor = host.editor();
    const bool sane = editor.opened && editor.shownPanel == -1 && editor.refreshInterval >= 0 &&
                      window.presentCount() > 0 && host.levelsInRange();
    host.dispatch(effEditClose);
    return sane && !window.hasChild();
}

} // namespace

// [SECTION] Every opcode

TEST(HostileHost, EveryOpcodeWithOddArgumentsGivesTheAnswersAHostReliesOn) {
    HeadlessSystem::reset();
    TestHost host;
    ASSERT_NE(host.effect(), nullptr);
    const SweepResult sweep = sweepOpcodes(host, nullptr, kIndices, kValues, kFloats);
    EXPECT_EQ(sweep.calls, 210 * 3 * 5 * 6 * 8);
    EXPECT_EQ(sweep.wrongAnswers, 0) << "first wrong opcode " << sweep.firstWrongOpcode;
    EXPECT_EQ(sweep.strayWrites, 0);
    EXPECT_FALSE(host.editor().opened);

    // Still the same plug-in: no program, cut-off name, audio intact.
    EXPECT_EQ(host.dispatch(effGetProgram), -1);
    EXPECT_EQ(std::strlen(host.plugin().getStoredProgramName()), 31u);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    EXPECT_TRUE(playsThrough(host, 512, 40));
    EXPECT_GT(host.highestLevel(), 0.5f);
    EXPECT_TRUE(host.levelsInRange());
    EXPECT_TRUE(exerciseEditor(host));
}

TEST(HostileHost, EveryOpcodeWithTheEditorOpen) {
    HeadlessSystem::reset();
    TestHost host;
    HeadlessWindow window;
    ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, window.handle()), 1);
    const SweepResult sweep = sweepOpcodes(host, &window, {0, -1, kIndexMax}, {0, 1, -1, kValueMax},
                                           {0.0f, kNaN, -kInf, 1e-40f});
    EXPECT_EQ(sweep.wrongAnswers, 0) << "first wrong opcode " << sweep.firstWrongOpcode;
    EXPECT_EQ(sweep.strayWrites, 0);
    EXPECT_TRUE(window.hasChild());
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    EXPECT_TRUE(playsThrough(host, 1024, 20));
    EXPECT_TRUE(host.levelsInRange());
    host.dispatch(effEditClose);
    EXPECT_FALSE(window.hasChild());
}

TEST(HostileHost, RecordEntriesTakeAnyArguments) {
    TestHost host;
    AEffect* effect = host.effect();
    for (const VstInt32 index : {0, 1, -1, 1000, kIndexMin, kIndexMax}) {
        EXPECT_EQ(effect->getParameter(effect, index), -1.0f) << "there are no parameters";
        for (const float value : kFloats) {
            effect->setParameter(effect, index, value);
            EXPECT_EQ(effect->getParameter(effect, index), -1.0f) << "there are no parameters";
        }
        char text[64];
        std::memset(text, 'x', sizeof(text));
        text[63] = 0;
        EXPECT_EQ(host.dispatch(effGetParamName, index, 0, text), 0);
        EXPECT_EQ(host.dispatch(effGetParamLabel, index, 0, text), 0);
        EXPECT_EQ(host.dispatch(effGetParamDisplay, index, 0, text), 0);
        EXPECT_EQ(text[0], 'x') << "the host's text stays as it was";
        EXPECT_EQ(host.dispatch(effCanBeAutomated, index), 1);
    }
    // Neither the deprecated entry nor the double-precision one does
    // anything: two hops of loud audio leave no level.
    StereoBlock block(8192);
    TestSignal().fill(TestSignal::Kind::loud, block.input(0), block.input(1), 8192);
    block.poisonOutputs();
    effect->process(effect, block.inputs(), block.outputs(), 8192);
    effect->process(effect, nullptr, nullptr, kIndexMax);
    effect->processDoubleReplacing(effect, nullptr, nullptr, kIndexMax);
    EXPECT_TRUE(block.untouched(0));
    EXPECT_TRUE(block.untouched(1));
    double in[4] = {1, 2, 3, 4};
    double out[4] = {};
    double* ins[2] = {in, in};
    double* outs[2] = {out, out};
    effect->processDoubleReplacing(effect, ins, outs, 4);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(host.highestLevel(), 0.0f);
}

TEST(HostileHost, EntryPointRefusesHostsWithoutAVersion) {
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
    fakeHost::reset(true);
    fakeHost::version = 0;
    const AEffect* effect = VSTPluginMain(fakeHost::callback);
    const std::vector<fakeHost::Call> calls = fakeHost::calls;
    fakeHost::reset();
    EXPECT_EQ(effect, nullptr);
    ASSERT_EQ(calls.size(), 1u) << "one question, the version";
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
}

// [SECTION] Sample rates and block sizes

TEST(HostileHost, UnusableSampleRatesThenNormalAudioAndAnOpenEditor) {
    for (const float rate : {0.0f, -1.0f, kNaN, kInf, 1.0f, 1e7f, -kInf, 1e-40f, 1e-30f, 3.4e38f}) {
        SCOPED_TRACE(rate);
        HeadlessSystem::reset();
        TestHost host;
        EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, rate), 0);
        EXPECT_TRUE(playsThrough(host, 512, 100));
        EXPECT_GT(host.highestLevel(), 0.5f) << "the analysis does not depend on the rate";
        EXPECT_TRUE(host.levelsInRange());
        EXPECT_TRUE(exerciseEditor(host));
        for (const auto& entry : host.core().bandStartBin) {
            EXPECT_GE(entry.load(), 0);
        }
        EXPECT_TRUE(playsThrough(host, 512, 10));
        EXPECT_TRUE(host.levelsInRange());
    }
}

TEST(HostileHost, BlockSizesOfNothingAndAMillion) {
    TestHost host;
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, 0), 0);
    EXPECT_TRUE(playsThrough(host, 1, 5000));
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, 1000000), 0);
    EXPECT_TRUE(playsThrough(host, 1000000, 2));
    EXPECT_GT(host.highestLevel(), 0.5f);
    EXPECT_TRUE(host.levelsInRange());
}

// [SECTION] Frame counts, channel pointers and sample values

TEST(HostileHost, EmptyNegativeAndHugeFrameCounts) {
    TestHost host;
    StereoBlock block(4096);
    TestSignal().fill(TestSignal::Kind::loud, block.input(0), block.input(1), 4096);
    for (const VstInt32 frames : {0, -1, -4096, kIndexMin}) {
        block.poisonOutputs();
        host.processReplacing(block.inputs(), block.outputs(), frames);
        EXPECT_TRUE(block.untouched(0)) << frames;
        EXPECT_TRUE(block.untouched(1)) << frames;
    }
    EXPECT_EQ(host.highestLevel(), 0.0f) << "nothing was analysed";
    // A count larger than any buffer is only safe with no buffers at all.
    float* none[2] = {nullptr, nullptr};
    for (int32_t i = 0; i < 4; ++i) {
        host.processReplacing(nullptr, nullptr, kIndexMax);
        host.processReplacing(none, none, kIndexMax);
    }
    EXPECT_EQ(host.highestLevel(), 0.0f);
    EXPECT_TRUE(playsThrough(host, 4096, 4));
    EXPECT_GT(host.highestLevel(), 0.5f);
}

TEST(HostileHost, MissingChannelPointersLeaveTheirOutputsAlone) {
    TestHost host;
    StereoBlock block(1024);
    TestSignal().fill(TestSignal::Kind::loud, block.input(0), block.input(1), 1024);
    float** in = block.inputs();
    float** out = block.outputs();
    float* leftOnly[2] = {in[0], nullptr};
    float* rightOnly[2] = {nullptr, in[1]};
    float* noLeftOutput[2] = {nullptr, out[1]};
    float* none[2] = {nullptr, nullptr};
    struct Row {
        const char* name;
        float** inputs;
        float** outputs;
        bool passes[2]; // per channel: passed through, or left alone
    };
    const Row rows[] = {
        {"left input only", leftOnly, out, {true, false}},
        {"right input only", rightOnly, out, {false, true}},
        {"no left output", in, noLeftOutput, {false, true}},
        {"no input array", nullptr, out, {false, false}},
        {"no output array", in, nullptr, {false, false}},
        {"no input channels", none, out, {false, false}},
        {"no output channels", in, none, {false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        block.poisonOutputs();
        host.processReplacing(row.inputs, row.outputs, 1024);
        for (size_t c = 0; c < 2; ++c) {
            EXPECT_TRUE(row.passes[c] ? block.passedThrough(c, 1024) : block.untouched(c))
                << "channel " << c;
        }
    }
    EXPECT_TRUE(host.levelsInRange());
    EXPECT_TRUE(playsThrough(host, 1024, 8));
}

TEST(HostileHost, InPlaceBuffersKeepTheirSamplesAndMeasureTheSame) {
    TestHost inPlace;
    TestHost separate;
    StereoBlock shared(777);
    StereoBlock apart(777);
    TestSignal signalA(9);
    TestSignal signalB(9);
    for (int32_t b = 0; b < 60; ++b) {
        signalA.fill(TestSignal::Kind::loud, shared.input(0), shared.input(1), 777);
        signalB.fill(TestSignal::Kind::loud, apart.input(0), apart.input(1), 777);
        const std::vector<float> before(shared.input(0), shared.input(0) + 777);
        inPlace.processReplacing(shared.inputs(), shared.inputs(), 777);
        separate.processReplacing(apart.inputs(), apart.outputs(), 777);
        ASSERT_EQ(std::memcmp(before.data(), shared.input(0), 777 * sizeof(float)), 0);
    }
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        EXPECT_EQ(inPlace.core().bandLevel[b].load(), separate.core().bandLevel[b].load()) << b;
    }
}

TEST(HostileHost, NonFiniteAndDenormalSamplesPassAndLeaveNoTrace) {
    using Kind = TestSignal::Kind;
    for (const Kind odd : {Kind::nan, Kind::infinity, Kind::denormal}) {
        TestHost host;
        TestHost reference;
        StereoBlock block(4096);
        TestSignal fill;
        // One whole analysis period of odd samples...
        for (int32_t b = 0; b < 2; ++b) {
            fill.fill(odd, block.input(0), block.input(1), 4096);
            block.poisonOutputs();
            host.processReplacing(block.inputs(), block.outputs(), 4096);
            EXPECT_TRUE(block.passedThrough(0, 4096));
            EXPECT_TRUE(block.passedThrough(1, 4096));
            fill.fill(Kind::silence, block.input(0), block.input(1), 4096);
            reference.processReplacing(block.inputs(), block.outputs(), 4096);
        }
        EXPECT_TRUE(host.levelsInRange());
        if (odd != Kind::infinity) {
            EXPECT_EQ(host.highestLevel(), 0.0f) << "no measurable level in NaN or denormals";
        }
        // ...then the two instances hear the same music.
        for (auto& band : host.core().bandLevel) {
            band.store(0.0f);
        }
        TestSignal musicA(5);
        TestSignal musicB(5);
        for (int32_t b = 0; b < 12; ++b) {
            musicA.fill(Kind::loud, block.input(0), block.input(1), 4096);
            host.processReplacing(block.inputs(), block.outputs(), 4096);
            ASSERT_TRUE(block.passedThrough(0, 4096));
            musicB.fill(Kind::loud, block.input(0), block.input(1), 4096);
            reference.processReplacing(block.inputs(), block.outputs(), 4096);
        }
        for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
            EXPECT_EQ(host.core().bandLevel[b].load(), reference.core().bandLevel[b].load())
                << "band " << b;
        }
    }
}

TEST(HostileHost, BandStartsAtTheTopOfTheRangeStaySilent) {
    // What the band table holds for a rate near the float maximum: start
    // bins saturated at the largest int32.
    TestHost host;
    tq_spectrumCore& core = host.core();
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        core.bandStartBin[b].store(b < 10 ? 16 * b : kIndexMax);
    }
    EXPECT_TRUE(playsThrough(host, 4096, 4));
    EXPECT_GT(host.highestLevel(), 0.5f);
    for (int32_t b = 10; b < SpectrumLayout::kBandCount; ++b) {
        EXPECT_EQ(core.bandLevel[b].load(), 0.0f) << "band " << b;
    }
}

// [SECTION] Editor calls out of order

TEST(HostileHost, IdleAndCloseBeforeAnyOpen) {
    HeadlessSystem::reset();
    TestHost host;
    for (int32_t i = 0; i < 10; ++i) {
        HeadlessSystem::advanceTicks(500);
        EXPECT_EQ(host.dispatch(effEditIdle), 0);
        EXPECT_EQ(host.dispatch(effEditClose), 0);
    }
    EXPECT_FALSE(host.editor().opened);
    EXPECT_TRUE(exerciseEditor(host));
    // And again after a close.
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
}

TEST(HostileHost, OpenTwiceInOneWindowAndThenInAnother) {
    HeadlessSystem::reset();
    TestHost host;
    HeadlessWindow first;
    HeadlessWindow second;
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, first.handle()), 1);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, first.handle()), 1);
    EXPECT_TRUE(first.hasChild());
    host.dispatch(effEditIdle);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, second.handle()), 1);
    EXPECT_FALSE(first.hasChild()) << "the old window is given up";
    EXPECT_TRUE(second.hasChild());
    host.dispatch(effEditIdle);
    EXPECT_GT(second.presentCount(), 0u);
    host.dispatch(effEditClose);
    EXPECT_FALSE(second.hasChild());
}

TEST(HostileHost, CloseWithTheEditorStillOpen) {
    HeadlessSystem::reset();
    HeadlessWindow window;
    for (const bool withPanel : {false, true}) {
        TestHost host;
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, window.handle()), 1);
        if (withPanel) {
            host.dispatch(effMainsChanged, 0, 0);
        }
        HeadlessSystem::advanceTicks(100);
        host.dispatch(effEditIdle);
        EXPECT_TRUE(window.hasChild());
        EXPECT_EQ(host.close(), 1);
        EXPECT_FALSE(window.hasChild()) << "deleting the plug-in takes its window down";
    }
    EXPECT_EQ(HeadlessSystem::oleDepth(), 0) << "every OLE initialisation undone";
}

// [SECTION] Allocation failures

namespace {

// One pass of a host call that meets an allocation failure: a plug-in of
// its own (unless the call makes it) and a parent window of its own.
struct FailurePass {
    std::optional<TestHost> host;
    HeadlessWindow window;
    VstIntPtr answer = 0;
};

// What the host sees after the call.
enum class Seen { whole, refused, wrong };

struct FailingCall {
    const char* name;
    // Brings the pass to just before the call, with memory available.
    void (*prepare)(FailurePass&);
    void (*call)(FailurePass&);
    // Whether the call did its whole work or answered as after a failure;
    // `failed` tells whether one of its allocations failed.
    Seen (*seen)(FailurePass&, bool failed);
};

void openAndIdle(FailurePass& pass) {
    pass.host.emplace();
    pass.host->dispatch(effEditOpen, 0, 0, pass.window.handle());
    HeadlessSystem::advanceTicks(100);
    pass.host->dispatch(effEditIdle);
}

const FailingCall kFailingCalls[] = {
    {"VSTPluginMain", [](FailurePass&) {}, [](FailurePass& pass) { pass.host.emplace(); },
     [](FailurePass& pass, bool failed) {
         if (!pass.host->effect()) {
             return failed && HeadlessSystem::oleDepth() == 0 ? Seen::refused : Seen::wrong;
         }
         // Only what the analysis can do without may fail and leave a
         // plug-in: a whole one.
         const tq_spectrum& plugin = pass.host->plugin();
         return plugin.getCore() && plugin.getSpectrumEditor() ? Seen::whole : Seen::wrong;
     }},
    {"effEditOpen", [](FailurePass& pass) { pass.host.emplace(); },
     [](FailurePass& pass) {
         pass.answer = pass.host->dispatch(effEditOpen, 0, 0, pass.window.handle());
     },
     [](FailurePass& pass, bool failed) {
         const tq_spectrumEditor& editor = pass.host->editor();
         if (pass.answer == 1 && editor.opened && pass.window.hasChild()) {
             return failed ? Seen::wrong : Seen::whole;
         }
         const bool nothingLeft = !editor.getFrame() && !editor.viewMenu && !editor.panels[0];
         return pass.answer == 0 && failed && !editor.opened && !pass.window.hasChild() &&
                        nothingLeft
                    ? Seen::refused
                    : Seen::wrong;
     }},
    {"Help > About... and the idle that shows it",
     [](FailurePass& pass) {
         openAndIdle(pass);
         pass.window.scriptPopupChoice(3);
     },
     [](FailurePass& pass) {
         pass.window.click(72, 10);
         pass.host->dispatch(effEditIdle);
     },
     [](FailurePass& pass, bool failed) {
         const tq_spectrumEditor& editor = pass.host->editor();
         if (!editor.opened || editor.getFrame()->hasPopup()) {
             return Seen::wrong;
         }
         if (editor.shownPanel == 0) {
             return failed ? Seen::wrong : Seen::whole;
         }
         return failed && editor.shownPanel == -1 ? Seen::refused : Seen::wrong;
     }},
};

} // namespace

TEST(HostileHost, EveryAllocationOfAHostCallMayFail) {
    // Bitmaps and glyphs are made once per process: one plug-in first, so
    // that every pass below meets the same allocations.
    {
        HeadlessSystem::reset();
        TestHost warm;
        ASSERT_TRUE(exerciseEditor(warm));
    }
    for (const FailingCall& failing : kFailingCalls) {
        SCOPED_TRACE(failing.name);
        int32_t refused = 0;
        bool completed = false;
        for (int32_t nth = 1; nth < 100000 && !completed; ++nth) {
            SCOPED_TRACE(nth);
            HeadlessSystem::reset();
            FailurePass pass;
            failing.prepare(pass);
            const int64_t begun = TestHost::callbackCount(audioMasterBeginEdit);
            const int64_t ended = TestHost::callbackCount(audioMasterEndEdit);
            allocationHook::failAllocation(nth);
            failing.call(pass);
            completed = allocationHook::failurePending();
            allocationHook::clearFailure();

            const Seen seen = failing.seen(pass, !completed);
            EXPECT_TRUE(seen != Seen::wrong) << "answer " << pass.answer;
            refused += seen == Seen::refused ? 1 : 0;
            EXPECT_EQ(TestHost::callbackCount(audioMasterBeginEdit) - begun,
                      TestHost::callbackCount(audioMasterEndEdit) - ended)
                << "every edit begun is ended";
            if (!pass.host->effect()) {
                continue;
            }
            // With memory available again, the same plug-in works, in a
            // window of its own: a popup that failed left its scripted
            // answer in this one.
            EXPECT_TRUE(exerciseEditor(*pass.host));
            EXPECT_TRUE(playsThrough(*pass.host, 512, 10));
            EXPECT_EQ(pass.host->close(), 1);
            EXPECT_EQ(HeadlessSystem::oleDepth(), 0);
        }
        EXPECT_TRUE(completed) << "a pass with no failure did the whole call";
        EXPECT_GT(refused, 0) << "the call allocates, and a failure shows";
    }
}
