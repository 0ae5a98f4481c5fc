// The plug-in's window: 97 bars over the plot area with nine frequency
// labels, the View and Help menus, and the About and suspended panels that
// take the bars' place. It shares the band arrays with the spectrum core.
#pragma once

#include <atomic>
#include <cstdint>

#include "analysis/SpectrumLayout.h"
#include "toolkit/CControlListener.h"
#include "toolkit/CScale.h"
#include "vst/AEffGUIEditor.h"

class CBitmap;
class COptionMenu;
class CParamDisplay;
class CVuMeter;
class DialogView;
class tq_spectrumCore;

class tq_spectrumEditor : public AEffGUIEditor, public CControlListener {
public:
    static constexpr int32_t kLabelCount = 9;
    static constexpr int32_t kViewMenuTag = 2;
    static constexpr int32_t kHelpMenuTag = 3;
    // Where Help > "corvale..." takes the user.
    static constexpr const char* kHomePage = "https://www.corvale.com/";

    explicit tq_spectrumEditor(AudioEffect* effect);
    ~tq_spectrumEditor() override;

    // Closed, the rectangle of the scale the next open would draw at.
    bool getRect(ERect** rect) override;
    bool open(void* parent) override;
    void close() override;
    void idle() override;
    void setParameter(VstInt32 index, float value) override;

    void valueChanged(CDrawContext* context, CControl* control) override;
    int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                   int32_t buttons) override;

    // The scale the host asks for (a VST host's content scale, an LV2 host's
    // ui:scaleFactor), 0 for none: it wins over the desktop's. Like any
    // change of scale it takes effect at the next open; an open window keeps
    // its size.
    void setHostScale(float factor);
    // The scale of the open window, or of the last one.
    const CScale& getScale() const { return scale; }
    // A bitmap resource as drawn for the scale; the caller owns the reference.
    CBitmap* loadBitmap(int32_t id) const;

    // 0 linear (0 Hz to half the sample rate), 1 logarithmic (10 Hz to
    // 100 kHz); any other mode is linear. Rewrites the core's band table.
    void setScale(int32_t mode);
    // The View menu's choice of axis, made by the user or restored by a
    // host: setScale with the menu's check marks to match.
    void selectScale(int32_t mode);
    // The core's sample rate changed: the labels, the band table and the
    // refresh interval follow it.
    void sampleRateChanged();
    // The labels' text conversion; `editor` is the tq_spectrumEditor.
    static void frequencyText(float value, char* text, void* editor);

    // Panel requests: -1 none, 0 About, 1 suspended. Written by suspend,
    // resume and the panels on whatever thread calls them, read by idle.
    std::atomic<int32_t> requestedPanel{-1};
    static_assert(std::atomic<int32_t>::is_always_lock_free);
    int32_t shownPanel = -1;

    CVuMeter* bars[SpectrumLayout::kBandCount] = {};
    COptionMenu* viewMenu = nullptr;
    COptionMenu* helpMenu = nullptr;
    CParamDisplay* frequencyLabels[kLabelCount] = {};
    int32_t refreshInterval = 0;
    uint32_t lastRefresh = 0;
    int32_t scaleMode = 0;
    float lowFrequency = 0.0f;
    float highFrequency = 22050.0f;
    DialogView* panels[2] = {};
    // Borrowed from the plug-in, never owned; not used by the destructor.
    tq_spectrumCore* core = nullptr;
    CBitmap* background = nullptr;
    bool opened = false;

private:
    // Builds the frame and everything in it; false, or an exception, when
    // something could not be made. What was made is then for close.
    bool build(void* parent);
    void idleWork();
    void showPanel(int32_t index);
    void decayStep(uint32_t now);
    // The analyser's rate, or 44100 Hz when there is no core or the host
    // gave a rate no computation can use (0, negative, NaN, infinite).
    float displaySampleRate() const;
    bool buildMenus();
    // Chooses the scale (host, desktop of `parent`, else 1x) and sizes the
    // background and the rectangle for it.
    void applyScale(void* parent);

    float hostScale = 0.0f;
    CScale scale;
};
