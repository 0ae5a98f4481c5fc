// libFuzzer target: any bytes as a host's life with one plug-in. The bytes
// decode into dispatcher calls (every opcode from -10 to 200 with odd
// arguments), processReplacing calls with broken channel arrays and any
// sample values, editor opens, idles, clicks and closes, and effClose
// followed by a new plug-in. Pointers come only from a small pool of the
// host's own buffers (or null); the editor opens only in a real window.
// After every step the audio must have passed through unchanged, every
// answer must be the one a host relies on, and every band level must lie
// in 0..1.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"
#include "tests/support/hostAnswers.h"

namespace {

constexpr size_t kCapacity = 8192; // frames per channel buffer
constexpr size_t kPoolBytes = 1024;
constexpr int32_t kMaxSteps = 4096;
constexpr int32_t kMaxLives = 4;

// Reads the input front to back; past its end every read gives zeros.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool done() const { return pos >= size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    uint32_t u32() { return static_cast<uint32_t>(u16()) | (static_cast<uint32_t>(u16()) << 16); }
    float raw() {
        const uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Copies up to `count` bytes; returns how many there were.
    size_t take(void* target, size_t count) {
        const size_t n = std::min(count, size - std::min(pos, size));
        std::memcpy(target, data + pos, n);
        pos += n;
        return n;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "dispatcherFuzz: %s\n", what);
    std::abort();
}

// Each picker takes one byte: one of its pool's values, or past the pool
// something the input gives.
constexpr VstInt32 kIndexPool[] = {0, 1, -1, std::numeric_limits<VstInt32>::min(),
                                   std::numeric_limits<VstInt32>::max()};
constexpr VstIntPtr kValuePool[] = {0, 1, -1, std::numeric_limits<VstIntPtr>::min(),
                                    std::numeric_limits<VstIntPtr>::max()};
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kDenormal = std::numeric_limits<float>::denorm_min();
constexpr float kFloatPool[] = {0.0f, 1.0f, -1.0f, kNaN, kInf, -kInf, kDenormal, 44100.0f};
constexpr size_t kIndexes = std::size(kIndexPool);
constexpr size_t kValues = std::size(kValuePool);
constexpr size_t kFloats = std::size(kFloatPool);

VstInt32 pickIndex(ByteReader& in) {
    const size_t k = in.byte() % (kIndexes + 1);
    return k < kIndexes ? kIndexPool[k] : static_cast<VstInt32>(in.u32());
}

VstIntPtr pickValue(ByteReader& in) {
    const size_t k = in.byte() % (kValues + 2);
    if (k < kValues) {
        return kValuePool[k];
    }
    return k == kValues ? static_cast<VstInt32>(in.u32()) : in.byte();
}

float pickFloat(ByteReader& in) {
    const size_t k = in.byte() % (kFloats + 1);
    return k < kFloats ? kFloatPool[k] : in.raw();
}

// One host: a window, buffers, the pointer pool and the current plug-in.
class FuzzHost {
public:
    explicit FuzzHost(ByteReader& in) : in(in) { HeadlessSystem::reset(); }
    ~FuzzHost() { closePlugin(); }

    bool create() {
        effect = VSTPluginMain(fakeHost::callback);
        if (!effect) {
            fail("the entry point refused a good host");
        }
        return true;
    }

    void run() {
        create();
        for (int32_t step = 0; step < kMaxSteps && !in.done(); ++step) {
            switch (in.byte() % 12) {
            case 0:
            case 1:
            case 2:
                dispatchCall();
                break;
            case 3:
            case 4:
                processCall();
                break;
            case 5:
                HeadlessSystem::advanceTicks(in.byte() * 4u);
                dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
                break;
            case 6:
                dispatch(effEditOpen, 0, 0, in.byte() & 1 ? window.handle() : nullptr, 0.0f);
                break;
            case 7:
                click();
                break;
            case 8:
                dispatch(effMainsChanged, 0, in.byte() & 1, nullptr, 0.0f);
                break;
            case 9:
                recordEntries();
                break;
            case 10:
                dispatch(effEditClose, 0, 0, nullptr, 0.0f);
                break;
            default:
                if (++lives < kMaxLives) {
                    closePlugin();
                    create();
                }
                break;
            }
            checkLevels();
        }
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    void closePlugin() {
        if (effect) {
            if (effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f) != 1) {
                fail("effClose must answer 1");
            }
            effect = nullptr;
            if (window.hasChild()) {
                fail("the window outlived its plug-in");
            }
        }
    }

    void* pickPointer() {
        switch (in.byte() % 4) {
        case 0:
            return nullptr;
        case 1: {
            // A text of the input's bytes, always terminated.
            std::memset(text, 0, sizeof text);
            in.take(text, in.byte() % (kPoolBytes - 1));
            return text;
        }
        case 2:
            std::memset(zeros, 0, sizeof zeros);
            return zeros;
        default:
            std::memset(slots, 0, sizeof slots);
            return slots;
        }
    }

    void dispatchCall() {
        constexpr uint32_t kOpcodes = hostAnswers::kLastOpcode - hostAnswers::kFirstOpcode + 1;
        const VstInt32 opcode =
            static_cast<VstInt32>(in.byte() % kOpcodes) + hostAnswers::kFirstOpcode;
        const VstInt32 index = pickIndex(in);
        VstIntPtr value = pickValue(in);
        void* ptr = pickPointer();
        const float opt = pickFloat(in);
        switch (opcode) {
        case effClose:
            return; // the lives step does that
        case effEditOpen:
            ptr = ptr ? window.handle() : nullptr; // never a window that is not one
            break;
        case effGetSpeakerArrangement:
            value = value ? reinterpret_cast<VstIntPtr>(arrangements) : 0;
            break;
        default:
            break;
        }
        const bool editorOpen = plugin().getSpectrumEditor()->opened;
        const VstIntPtr answer = dispatch(opcode, index, value, ptr, opt);
        const bool toWindow = opcode == effEditOpen && ptr;
        if (!hostAnswers::isExpected(answer, opcode, value, ptr, editorOpen, toWindow)) {
            std::fprintf(stderr, "opcode %d answered %lld\n", int(opcode),
                         static_cast<long long>(answer));
            fail("an answer a host relies on changed");
        }
    }

    void fillChannel(float* samples, size_t frames) {
        const uint8_t kind = in.byte() % 7;
        const float fixed[] = {0.0f, kNaN, kInf, kDenormal, 1e30f};
        if (kind < 5) {
            std::fill(samples, samples + frames, fixed[kind]);
        } else if (kind == 5) {
            const float level = static_cast<float>(in.byte()) / 16.0f;
            const float step = static_cast<float>(in.byte() + 1) / 64.0f;
            for (size_t i = 0; i < frames; ++i) {
                samples[i] = level * std::sin(step * static_cast<float>(i));
            }
        } else {
            // Any bit patterns the input holds, repeated.
            const size_t got = in.take(samples, std::min<size_t>(frames, 64) * sizeof(float));
            const size_t values = got / sizeof(float);
            for (size_t i = values; i < frames; ++i) {
                samples[i] = values ? samples[i % values] : 0.0f;
            }
        }
    }

    void processCall() {
        const uint8_t layout = in.byte();
        const uint8_t length = in.byte() % 8;
        VstInt32 frames;
        switch (length) {
        case 0:
            frames = 0;
            break;
        case 1:
            frames = 1;
            break;
        case 2:
            frames = -static_cast<VstInt32>(in.u16());
            break;
        case 3:
            frames = static_cast<VstInt32>(kCapacity);
            break;
        default:
            frames = static_cast<VstInt32>(in.u16() % kCapacity) + 1;
            break;
        }
        if (layout == 0xFF) {
            // A count beyond every buffer, with no buffers at all.
            effect->processReplacing(effect, nullptr, nullptr,
                                     std::numeric_limits<VstInt32>::max());
            return;
        }
        const size_t n = frames > 0 ? static_cast<size_t>(frames) : 0;
        for (size_t c = 0; c < 2; ++c) {
            fillChannel(inputs[c], n);
            std::memcpy(expected[c], inputs[c], n * sizeof(float));
            std::memset(outputs[c], 0xA5, sizeof outputs[c]);
        }
        const bool inPlace = layout & 1;
        float* ins[2] = {layout & 2 ? nullptr : inputs[0], layout & 4 ? nullptr : inputs[1]};
        float* outs[2] = {layout & 8 ? nullptr : (inPlace ? inputs[0] : outputs[0]),
                          layout & 16 ? nullptr : (inPlace ? inputs[1] : outputs[1])};
        effect->processReplacing(effect, layout & 32 ? nullptr : ins, layout & 64 ? nullptr : outs,
                                 frames);
        // Every channel with both ends present came through bit for bit; the
        // host's input is never changed.
        for (size_t c = 0; c < 2; ++c) {
            const bool through = !(layout & 32) && !(layout & 64) && ins[c] && outs[c];
            if (std::memcmp(inputs[c], expected[c], n * sizeof(float)) != 0 &&
                !(inPlace && through)) {
                fail("the input was changed");
            }
            if (through && std::memcmp(outs[c], expected[c], n * sizeof(float)) != 0) {
                fail("the audio did not pass through unchanged");
            }
        }
    }

    void click() {
        const int32_t x = static_cast<int32_t>(in.byte() * 570u / 256u);
        const int32_t y = static_cast<int32_t>(in.byte() * 180u / 256u);
        window.scriptPopupChoice(static_cast<int32_t>(in.byte() % 6) - 1);
        if (in.byte() & 1) {
            window.click(x, y);
        } else {
            // A drag: down, a move or two, up somewhere else.
            window.injectMouseDown(x, y, platform::kMouseLeft, in.byte() % 64u);
            window.injectMouseMove(x + in.byte() % 16, y + in.byte() % 16, in.byte() % 64u);
            window.injectMouseUp(static_cast<int32_t>(in.byte() * 570u / 256u),
                                 static_cast<int32_t>(in.byte() * 180u / 256u));
            window.dispatchEvents();
        }
    }

    void recordEntries() {
        const VstInt32 index = pickIndex(in);
        effect->setParameter(effect, index, pickFloat(in));
        if (effect->getParameter(effect, index) != -1.0f) {
            fail("there are no parameters");
        }
        // Neither entry may write or analyse anything.
        std::memset(outputs, 0x5A, sizeof outputs);
        float* ins[2] = {inputs[0], inputs[1]};
        float* outs[2] = {outputs[0], outputs[1]};
        effect->process(effect, ins, outs, static_cast<VstInt32>(kCapacity));
        effect->processDoubleReplacing(effect, nullptr, nullptr, pickIndex(in));
        for (const auto& channel : outputs) {
            for (const float sample : channel) {
                uint32_t bits;
                std::memcpy(&bits, &sample, sizeof bits);
                if (bits != 0x5A5A5A5Au) {
                    fail("the deprecated entry wrote audio");
                }
            }
        }
    }

    tq_spectrum& plugin() const { return *static_cast<tq_spectrum*>(effect->object); }

    void checkLevels() {
        for (const auto& band : plugin().getCore()->bandLevel) {
            const float level = band.load(std::memory_order_relaxed);
            if (!(level >= 0.0f && level <= 1.0f)) {
                fail("a band level left 0..1");
            }
        }
    }

    ByteReader& in;
    HeadlessWindow window; // declared before the plug-in's use, outlives it
    AEffect* effect = nullptr;
    int32_t lives = 0;
    alignas(16) float inputs[2][kCapacity];
    alignas(16) float outputs[2][kCapacity];
    alignas(16) float expected[2][kCapacity];
    alignas(16) char text[kPoolBytes];
    alignas(16) unsigned char zeros[kPoolBytes];
    void* slots[kPoolBytes / sizeof(void*)];
    void* arrangements[2];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    // About 200 KiB of buffers: on the heap, not the fuzzer's stack.
    auto* host = new FuzzHost(in);
    host->run();
    delete host;
    return 0;
}
