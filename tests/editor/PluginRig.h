// A host in miniature for the editor suites: loads the plug-in through
// VSTPluginMain with the fake host recording what the plug-in asks of it
// from then on (fakeHost::calls), owns the headless parent window and
// drives the editor opcodes on the fake clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/HeadlessWindow.h"
#include "toolkit/CRect.h"
#include "vst/AEffect.h"

class tq_spectrum;
class tq_spectrumCore;
class tq_spectrumEditor;
class CVuMeter;

class PluginRig {
public:
    // Rects of the layout the tests aim at.
    static CRect barRect(int32_t band) { return CRect(44 + 5 * band, 36, 47 + 5 * band, 136); }
    static CRect labelRect(int32_t k) { return CRect(25 + 60 * k, 143, 66 + 60 * k, 155); }
    static const CRect kViewMenu;
    static const CRect kHelpMenu;
    static const CRect kOkButton;
    // A lit segment of a bar.
    static constexpr uint32_t kLitGreen = 0xFF33FF00u;
    // The nine labels on the logarithmic axis, and on the linear one at 44.1 kHz.
    static const std::vector<std::string> kLogLabels;
    static const std::vector<std::string> kLinearLabels44;

    // Clock and URL record start from zero; the plug-in runs at `sampleRate`
    // and has been resumed, as a host does before it shows the editor.
    explicit PluginRig(float sampleRate = 44100.0f);
    // Closes the editor, then the plug-in, unless a test already did.
    ~PluginRig();
    PluginRig(const PluginRig&) = delete;
    PluginRig& operator=(const PluginRig&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    bool open();
    void idle() { dispatch(effEditIdle); }
    // Opens the editor and idles once, as a host shows it.
    bool openAndIdle() {
        const bool opened = open();
        idle();
        return opened;
    }
    // Moves the clock on, then idles.
    void idleAfter(uint32_t milliseconds);
    void close() { dispatch(effEditClose); }
    void suspend() { dispatch(effMainsChanged, 0, 0); }
    void resume() { dispatch(effMainsChanged, 0, 1); }
    // effClose: the plug-in deletes itself; the rig forgets it.
    void closePlugin();

    // Clicks a menu with the popup's answer scripted (-1 dismisses it).
    void chooseFromMenu(const CRect& menu, int32_t index);
    // Runs one more decay step by idling just past the refresh interval.
    void decayStep();
    // Full-scale sine at `bin` of the 1024-point transform, both channels,
    // for `frames` samples.
    void playSine(int32_t bin, int32_t frames);
    // The same samples on both channels, through processReplacing.
    void play(const std::vector<float>& samples);

    tq_spectrum* plugin() const;
    tq_spectrumEditor* editor() const;
    tq_spectrumCore* core() const;

    // The core's band table, and the nine label texts as the editor writes
    // them for its axis.
    std::vector<int32_t> bandTable() const;
    std::vector<std::string> labelTexts() const;
    // Green rows in the bar's middle column, as the window shows it.
    int32_t litSegments(int32_t band) const;
    // How often each bar is a child of the frame (0 when closed).
    std::vector<int32_t> barsInFrame() const;

    HeadlessWindow window;

private:
    AEffect* aeffect = nullptr;
};
