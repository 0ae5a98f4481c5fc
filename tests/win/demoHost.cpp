// A small Windows host for looking at the editor (and for the screenshot in
// docs/): loads tq-spectrum.dll from beside the program, opens its editor in
// a window of its own and plays the test signal's tones with a sweeping tone
// over them in real time, idling the editor as a host does.
//   tq_win_demo [seconds] [picture.raw]
// With a picture path the editor's window is read back into it at the end.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "HostWindow.h"
#include "tests/support/fakeHost.h"
#include "tests/support/PluginLibrary.h"
#include "TestSignal.h"
#include "vst/AEffect.h"

constexpr double kPi = 3.14159265358979323846;

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    PluginLibrary library("tq-spectrum.dll");
    if (!library.loaded()) {
        std::fprintf(stderr, "cannot load tq-spectrum.dll: %s\n", library.error().c_str());
        return 1;
    }
    const PluginLibrary::EntryProc entry = library.entry("VSTPluginMain");
    AEffect* effect = entry ? entry(fakeHost::callback) : nullptr;
    if (!effect) {
        std::fprintf(stderr, "no plug-in\n");
        return 1;
    }
    auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr,
                             float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, opt);
    };
    TestSignal::prepare(effect);

    HostWindow window("tq-spectrum (wine64)", 30, 30);
    if (dispatch(effEditOpen, 0, window.handle()) != 1) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }

    // One period of the tones, looped; a tone sweeps over them from 500 Hz
    // to 20 kHz and back every twelve seconds.
    const std::vector<float> tones = TestSignal::samples(1024);
    std::vector<float> block(TestSignal::kBlock);
    std::vector<float> out(TestSignal::kBlock);
    size_t played = 0;
    double sweepPhase = 0.0;
    const DWORD start = GetTickCount();
    for (;;) {
        const double elapsed = (GetTickCount() - start) / 1000.0;
        if (elapsed >= seconds) {
            break;
        }
        while (double(played) < elapsed * TestSignal::kSampleRate) {
            for (size_t i = 0; i < block.size(); ++i) {
                const double t = double(played + i) / TestSignal::kSampleRate;
                const double position = 1.0 - std::fabs(std::fmod(t / 6.0, 2.0) - 1.0);
                const double frequency = 500.0 + 19500.0 * position;
                sweepPhase += 2.0 * kPi * frequency / TestSignal::kSampleRate;
                block[i] = tones[(played + i) % 1024] + float(0.05 * std::sin(sweepPhase));
            }
            float* ins[2] = {block.data(), block.data()};
            float* outs[2] = {out.data(), out.data()};
            effect->processReplacing(effect, ins, outs, VstInt32(block.size()));
            played += block.size();
        }
        dispatch(effEditIdle);
        HostWindow::pump();
        Sleep(30);
    }
    if (argc > 2) {
        HostWindow::capture(window.child()).write(argv[2]);
    }
    dispatch(effEditClose);
    dispatch(effClose);
    return 0;
}
