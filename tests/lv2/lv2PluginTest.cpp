// The LV2 plug-in through its instance: pass-through, the frames and status
// it sends, the axis it takes and keeps in the host's state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <lv2/atom/forge.h>
#include <lv2/state/state.h>

#include "analysis/tq_spectrumCore.h"
#include "lv2/Lv2Plugin.h"
#include "Lv2TestHost.h"

namespace {

using Kind = Lv2Messages::Kind;
constexpr double kPi = 3.141592653589793;

std::unique_ptr<Lv2Plugin> makePlugin(Lv2TestHost& host, double rate = 44100.0) {
    std::unique_ptr<Lv2Plugin> plugin(Lv2Plugin::create(rate, host.pluginFeatures()));
    if (plugin) {
        plugin->activate();
    }
    return plugin;
}

// Stereo test signal: a swept tone left, noise right, loud enough to light bands.
std::vector<float> testSignal(size_t frames, int channel) {
    std::vector<float> s(frames);
    uint32_t seed = 12345u + static_cast<uint32_t>(channel);
    for (size_t n = 0; n < frames; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const double t = static_cast<double>(n) / 44100.0;
        s[n] = channel == 0
                   ? static_cast<float>(0.6 * std::sin(2.0 * kPi * (200.0 + 3000.0 * t) * t))
                   : static_cast<float>(seed >> 8) / 16777216.0f * 0.2f - 0.1f;
    }
    return s;
}

bool sameBits(const std::vector<float>& a, const float* b, size_t count) {
    return std::memcmp(a.data(), b, count * sizeof(float)) == 0;
}

} // namespace

TEST(Lv2Plugin, passesAudioThroughBitForBitAtAnyBlockSize) {
    const size_t total = 3 * 4096 + 77;
    const std::vector<float> left = testSignal(total, 0);
    const std::vector<float> right = testSignal(total, 1);
    for (uint32_t block : {0u, 1u, 7u, 511u, 4096u, 10007u}) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "block " << block << (inPlace ? " in place" : ""));
            Lv2TestHost host;
            auto plugin = makePlugin(host);
            ASSERT_TRUE(plugin);
            std::vector<float> inL = left, inR = right;
            std::vector<float> outL(total, -7.0f), outR(total, -7.0f);
            size_t done = 0;
            do {
                const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, total - done));
                float* in[2] = {inL.data() + done, inR.data() + done};
                float* out[2] = {(inPlace ? inL : outL).data() + done,
                                 (inPlace ? inR : outR).data() + done};
                host.run(*plugin, n, in, out);
                done += n;
            } while (block > 0 && done < total);
            const size_t checked = block == 0 ? 0 : total;
            EXPECT_TRUE(sameBits(left, (inPlace ? inL : outL).data(), checked));
            EXPECT_TRUE(sameBits(right, (inPlace ? inR : outR).data(), checked));
            if (block == 0) {
                EXPECT_EQ(outL[0], -7.0f); // nothing written for an empty block
            }
        }
    }
}

// The editor's bands, raised by every Frame message, end where the VST
// plug-in's core leaves them for the same audio: one frame per run or
// several gathered into one message.
TEST(Lv2Plugin, framesRaiseTheEditorsBandsAsTheVstCoreDoes) {
    const size_t total = 6 * 4096 + 1500;
    const std::vector<float> left = testSignal(total, 0);
    const std::vector<float> right = testSignal(total, 1);
    for (uint32_t block : {300u, 10007u}) {
        SCOPED_TRACE(block);
        Lv2TestHost host;
        auto plugin = makePlugin(host);
        tq_spectrumCore reference;
        tq_spectrumCore display;
        std::vector<float> scratch(2 * total);
        int frameMessages = 0;
        for (size_t done = 0; done < total; done += block) {
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, total - done));
            float* in[2] = {const_cast<float*>(left.data()) + done,
                            const_cast<float*>(right.data()) + done};
            float* out[2] = {scratch.data() + done, scratch.data() + total + done};
            reference.process(in, out, static_cast<int32_t>(n));
            for (const auto& atom : host.run(*plugin, n, in, out)) {
                const Lv2Messages::Message message = host.read(atom);
                if (message.kind == Kind::frame) {
                    display.raiseBandLevels(message.powers);
                    ++frameMessages;
                }
            }
        }
        EXPECT_GE(frameMessages, block < 4096 ? 6 : 3);
        int lit = 0;
        for (int b = 0; b < SpectrumLayout::kBandCount; ++b) {
            const float expected = reference.bandLevel[b].load();
            lit += expected > 0.0f;
            EXPECT_EQ(display.bandLevel[b].load(), expected) << "band " << b;
        }
        EXPECT_GT(lit, 50);
    }
}

TEST(Lv2Plugin, sendsItsStatusWhenAskedAndTakesTheAxisChosen) {
    struct Case {
        const char* what;
        int incoming; // -1 none, -2 status request, else an axis choice
        bool statusExpected;
        int axisAfter;
    };
    const Case cases[] = {
        {"nothing asked", -1, false, 0},
        {"status request", -2, true, 0},
        {"logarithmic", 1, true, 1},
        {"a value no axis has reads as linear", 7, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lv2TestHost host;
        auto plugin = makePlugin(host, 48000.0);
        // Activation tells the editor once.
        auto first = host.runSilence(*plugin, 64);
        ASSERT_EQ(host.kinds(first), std::vector<Kind>{Kind::status});
        EXPECT_EQ(host.read(first[0]).sampleRate, 48000.0f);
        std::vector<Lv2TestHost::Atom> extra;
        if (c.incoming == -2) {
            alignas(LV2_Atom) uint8_t buffer[64];
            LV2_Atom_Forge forge;
            lv2_atom_forge_init(&forge, &host.map);
            lv2_atom_forge_set_buffer(&forge, buffer, sizeof(buffer));
            ASSERT_TRUE(Lv2Messages::writeStatusRequest(forge, host.urids));
            extra.emplace_back(buffer, buffer + sizeof(LV2_Atom) +
                                           reinterpret_cast<LV2_Atom*>(buffer)->size);
        } else if (c.incoming >= 0) {
            extra.push_back(host.axisChoice(c.incoming));
        }
        const auto events = host.runSilence(*plugin, 64, extra);
        EXPECT_EQ(host.kinds(events).size(), c.statusExpected ? 1u : 0u);
        if (c.statusExpected) {
            EXPECT_EQ(host.read(events[0]).axis, c.axisAfter);
        }
        EXPECT_EQ(plugin->axis(), c.axisAfter);
        plugin->deactivate();
        EXPECT_FALSE(plugin->isActive());
        plugin->activate();
        EXPECT_EQ(host.kinds(host.runSilence(*plugin, 0)), std::vector<Kind>{Kind::status});
    }
}

// A notify port with too little room gets no part of a message; what did
// not fit comes in a later run, nothing lost.
TEST(Lv2Plugin, keepsWhatDoesNotFitForALaterRun) {
    const uint32_t sequenceHead = sizeof(LV2_Atom_Sequence);
    struct Case {
        const char* what;
        uint32_t capacity;
        std::vector<Kind> now;
    };
    const Case cases[] = {
        {"not connected", 0, {}},
        {"no room for the sequence", 8, {}},
        {"room for the status alone",
         sequenceHead + Lv2Messages::statusEventSize(),
         {Kind::status}},
        {"room for both",
         sequenceHead + Lv2Messages::statusEventSize() + Lv2Messages::frameEventSize(),
         {Kind::status, Kind::frame}},
    };
    const std::vector<float> left = testSignal(4096, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lv2TestHost host;
        auto plugin = makePlugin(host);
        std::vector<float> out(2 * 4096);
        const float* in[2] = {left.data(), left.data()};
        float* outputs[2] = {out.data(), out.data() + 4096};
        EXPECT_EQ(host.kinds(host.run(*plugin, 4096, in, outputs, c.capacity)), c.now);
        const float peak = plugin->analysis().peaks()[40];
        std::vector<Kind> later;
        for (Kind k : {Kind::status, Kind::frame}) {
            if (std::find(c.now.begin(), c.now.end(), k) == c.now.end()) {
                later.push_back(k);
            }
        }
        const auto events = host.runSilence(*plugin, 0);
        EXPECT_EQ(host.kinds(events), later);
        if (!later.empty() && later.back() == Kind::frame) {
            EXPECT_GT(peak, 0.0f);
            EXPECT_EQ(host.read(events.back()).powers[40], peak);
        }
    }
}

TEST(Lv2Plugin, keepsTheAxisInTheHostsState) {
    struct Stored {
        std::vector<uint8_t> bytes;
        uint32_t type = 0;
        uint32_t key = 0;
    };
    const auto store = [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                          uint32_t type, uint32_t flags) -> LV2_State_Status {
        EXPECT_EQ(flags & LV2_STATE_IS_POD, LV2_STATE_IS_POD);
        auto* s = static_cast<Stored*>(handle);
        s->key = key;
        s->type = type;
        s->bytes.assign(static_cast<const uint8_t*>(value),
                        static_cast<const uint8_t*>(value) + size);
        return LV2_STATE_SUCCESS;
    };
    const auto retrieve = [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                             uint32_t* flags) -> const void* {
        auto* s = static_cast<Stored*>(handle);
        if (key != s->key || s->bytes.empty()) {
            return nullptr;
        }
        *size = s->bytes.size();
        *type = s->type;
        *flags = LV2_STATE_IS_POD;
        return s->bytes.data();
    };
    struct Case {
        const char* what;
        int chosen;
        int damage; // 0 none, 1 key missing, 2 another type, 3 another size
        int restored;
    };
    const Case cases[] = {
        {"linear", 0, 0, 0},       {"logarithmic", 1, 0, 1},
        {"key missing", 1, 1, 0},  {"stored as another type", 1, 2, 0},
        {"another size", 1, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lv2TestHost host;
        auto saved = makePlugin(host);
        host.runSilence(*saved, 0, {host.axisChoice(c.chosen)});
        Stored state;
        ASSERT_EQ(saved->save(store, &state), LV2_STATE_SUCCESS);
        EXPECT_EQ(state.type, host.urids.atomInt);
        if (c.damage == 1) {
            state.bytes.clear();
        } else if (c.damage == 2) {
            state.type = host.urids.atomFloat;
        } else if (c.damage == 3) {
            state.bytes.push_back(0);
        }
        auto restored = makePlugin(host);
        host.runSilence(*restored, 0, {host.axisChoice(1 - c.restored)});
        ASSERT_EQ(restored->restore(retrieve, &state), LV2_STATE_SUCCESS);
        EXPECT_EQ(restored->axis(), c.restored);
        // The editor hears the restored axis at the next run.
        const auto events = host.runSilence(*restored, 0);
        ASSERT_EQ(host.kinds(events), std::vector<Kind>{Kind::status});
        EXPECT_EQ(host.read(events[0]).axis, c.restored);
    }
}

// lv2apply gives no URID map: the audio still passes and is analysed.
TEST(Lv2Plugin, runsWithoutTheHostsMap) {
    const LV2_Feature* none[] = {nullptr};
    std::unique_ptr<Lv2Plugin> plugin(Lv2Plugin::create(44100.0, none));
    ASSERT_TRUE(plugin);
    const std::vector<float> left = testSignal(5000, 0);
    std::vector<float> out(5000);
    plugin->connect(Lv2Plugin::kInLeft, const_cast<float*>(left.data()));
    plugin->connect(Lv2Plugin::kInRight, const_cast<float*>(left.data()));
    plugin->connect(Lv2Plugin::kOutLeft, out.data());
    plugin->connect(Lv2Plugin::kOutRight, out.data());
    plugin->activate();
    plugin->run(5000);
    EXPECT_TRUE(sameBits(left, out.data(), out.size()));
    EXPECT_EQ(plugin->analysis().pendingFrames(), 1);
    EXPECT_EQ(plugin->save(nullptr, nullptr), LV2_STATE_ERR_NO_FEATURE);
}

// A short, foreign or damaged atom reads as no message.
TEST(Lv2Messages, readsNothingFromADamagedAtom) {
    Lv2TestHost host;
    auto plugin = makePlugin(host);
    host.runSilence(*plugin, 0);
    const std::vector<float> left = testSignal(1100, 0);
    std::vector<float> out(2200);
    const float* in[2] = {left.data(), left.data()};
    float* outputs[2] = {out.data(), out.data() + 1100};
    const auto events = host.run(*plugin, 1100, in, outputs);
    ASSERT_EQ(host.kinds(events), std::vector<Kind>{Kind::frame});
    const Lv2TestHost::Atom frame = events[0];
    const size_t vectorBody = frame.size() - 512 * sizeof(float) - sizeof(LV2_Atom_Vector_Body);
    struct Case {
        const char* what;
        std::function<void(Lv2TestHost::Atom&)> damage;
    };
    const Case cases[] = {
        {"cut short", [](Lv2TestHost::Atom& a) { a.resize(a.size() - 4); }},
        {"header only", [](Lv2TestHost::Atom& a) { a.resize(sizeof(LV2_Atom)); }},
        {"empty", [](Lv2TestHost::Atom& a) { a.clear(); }},
        {"another object type",
         [&host](Lv2TestHost::Atom& a) {
             reinterpret_cast<LV2_Atom_Object*>(a.data())->body.otype = host.urids.axis;
         }},
        {"ints instead of floats",
         [&host, vectorBody](Lv2TestHost::Atom& a) {
             reinterpret_cast<LV2_Atom_Vector_Body*>(a.data() + vectorBody)->child_type =
                 host.urids.atomInt;
         }},
        {"one bin short",
         [](Lv2TestHost::Atom& a) {
             reinterpret_cast<LV2_Atom*>(a.data())->size -= 4;
             reinterpret_cast<LV2_Atom*>(a.data() + sizeof(LV2_Atom_Object) + 8)->size -= 4;
         }},
        {"a property running past the end",
         [](Lv2TestHost::Atom& a) {
             reinterpret_cast<LV2_Atom*>(a.data() + sizeof(LV2_Atom_Object) + 8)->size += 64;
         }},
    };
    EXPECT_EQ(host.read(frame).kind, Kind::frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lv2TestHost::Atom damaged = frame;
        c.damage(damaged);
        EXPECT_EQ(host.read(damaged).kind, Kind::none);
    }
}
