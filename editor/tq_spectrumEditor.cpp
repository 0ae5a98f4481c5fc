#include "editor/tq_spectrumEditor.h"

#include <cmath>
#include <cstdio>
#include <exception>

#include "analysis/tq_spectrumCore.h"
#include "core/numberText.h"
#include "editor/DialogView.h"
#include "editor/DialogViewAbout.h"
#include "platform/platform.h"
#include "resources/bitmapIds.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CVuMeter.h"

// [SECTION] Construction
// [SECTION] Scale
// [SECTION] Open and close
// [SECTION] Idle and panels
// [SECTION] Band table and labels
// [SECTION] Commands

namespace {

constexpr int16_t kDefaultWidth = 570;
constexpr int16_t kDefaultHeight = 180;
constexpr float kFallbackSampleRate = 44100.0f;
constexpr float kDecayStep = 0.2f;
// Bands sit at positions 0 to kLastBand, from the axis' left end to its right.
constexpr float kLastBand = static_cast<float>(SpectrumLayout::kBandCount - 1);
// A transform bin is the sample rate times this wide, in hertz.
constexpr double kBinWidthPerRate = 1.0 / SpectrumLayout::kFrameLength;
// Hertz to kilohertz for the linear labels, a float constant used widened.
constexpr float kKilohertzPerHertz = 0.001f;

} // namespace

// [SECTION] Construction

tq_spectrumEditor::tq_spectrumEditor(AudioEffect* owner) : AEffGUIEditor(owner) {
    background = new CBitmap(bitmapIds::kBackground);
    const bool loaded = background->isLoaded();
    rect.top = 0;
    rect.left = 0;
    rect.bottom = loaded ? static_cast<int16_t>(background->getHeight()) : kDefaultHeight;
    rect.right = loaded ? static_cast<int16_t>(background->getWidth()) : kDefaultWidth;
}

// [SECTION] Scale

void tq_spectrumEditor::setHostScale(float factor) {
    hostScale = CScale::nearest(factor) != 0 ? factor : 0.0f;
}

CBitmap* tq_spectrumEditor::loadBitmap(int32_t id) const {
    return new CBitmap(bitmapIds::atScale(id, scale.percent()));
}

void tq_spectrumEditor::applyScale(void* parent) {
    float desktop = 0.0f;
    // The desktop is asked only when the host said nothing.
    if (hostScale <= 0.0f && platform::desktopScale(parent, &desktop) != platform::Status::ok) {
        desktop = 0.0f;
    }
    const CScale chosen = CScale::choose(hostScale, desktop);
    if (chosen != scale || !background) {
        CBitmap* drawn = new CBitmap(bitmapIds::atScale(bitmapIds::kBackground, chosen.percent()));
        if (background) {
            background->forget();
        }
        background = drawn;
        scale = chosen;
    }
    const bool loaded = background->isLoaded();
    rect.top = 0;
    rect.left = 0;
    rect.bottom =
        static_cast<int16_t>(loaded ? background->getHeight() : scale.length(kDefaultHeight));
    rect.right =
        static_cast<int16_t>(loaded ? background->getWidth() : scale.length(kDefaultWidth));
}

bool tq_spectrumEditor::getRect(ERect** target) {
    if (!opened && !frame) {
        try {
            applyScale(nullptr);
        } catch (const std::exception&) {
            // Out of memory: the rectangle of the last scale stands.
        }
    }
    return AEffGUIEditor::getRect(target);
}

tq_spectrumEditor::~tq_spectrumEditor() {
    // A host that deletes the plug-in with the window still open gets it
    // torn down here; close never touches the core.
    close();
    background->forget();
}

// [SECTION] Open and close

bool tq_spectrumEditor::open(void* parent) {
    if (opened || frame) {
        close(); // a second open rebuilds the window in the new parent
    }
    AEffGUIEditor::open(parent);
    bool built = false;
    try {
        applyScale(parent);
        built = build(parent);
    } catch (const std::exception&) {
        // Out of memory on the way: what was built goes, window included.
    }
    if (!built) {
        close();
        return false;
    }
    lastRefresh = platform::tickCount();
    shownPanel = -1;
    scaleMode = 0;
    sampleRateChanged();
    opened = true;
    return true;
}

void tq_spectrumEditor::sampleRateChanged() {
    if (core) {
        const double hop = static_cast<double>(core->getFrameLength()) *
                           static_cast<double>(core->getHopFraction());
        refreshInterval = truncateToInt32(hop * 1000.0 / displaySampleRate());
    }
    setScale(scaleMode);
}

bool tq_spectrumEditor::build(void* parent) {
    // Each view is stored as soon as it exists: until the frame takes it,
    // the editor holds it, and close releases it.
    frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), this);
    frame->setScale(scale.percent());
    frame->setBackground(background);
    if (!frame->open(parent)) {
        return false;
    }

    const COwned<CBitmap> labelBackground(loadBitmap(bitmapIds::kLabelBackground));
    for (int32_t k = 0; k < kLabelCount; ++k) {
        auto* label = new CParamDisplay(scale.rect(CRect(25 + 60 * k, 143, 66 + 60 * k, 155)),
                                        labelBackground.get(), 0);
        frequencyLabels[k] = label;
        label->setFont(6);
        label->setFontColor(kWhiteCColor);
        label->setTransparency(true);
        label->setStringConvert(frequencyText, this);
        label->setValue(static_cast<float>(k) * 0.125f);
        frame->addView(label);
    }

    const COwned<CBitmap> lit(loadBitmap(bitmapIds::kBarLit));
    const COwned<CBitmap> unlit(loadBitmap(bitmapIds::kBarUnlit));
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        auto* bar = new CVuMeter(scale.rect(CRect(44 + 5 * i, 36, 47 + 5 * i, 136)), lit.get(),
                                 unlit.get(), 50, CVuMeter::kVertical);
        bars[i] = bar;
        if (core) {
            core->bandLevel[i].store(0.0f, std::memory_order_relaxed);
        }
        bar->setValue(0.0f);
        frame->addView(bar);
    }

    if (!buildMenus()) {
        return false;
    }
    panels[0] = new DialogViewAbout(this, bitmapIds::kAbout);
    if (!panels[0]->open()) {
        return false;
    }
    panels[1] = new DialogView(this, bitmapIds::kSuspended);
    return panels[1]->open();
}

bool tq_spectrumEditor::buildMenus() {
    viewMenu = new COptionMenu(scale.rect(CRect(20, 3, 55, 17)), this, kViewMenuTag, nullptr,
                               COptionMenu::kMultipleCheckStyle | COptionMenu::kCheckStyle);
    helpMenu = new COptionMenu(scale.rect(CRect(55, 3, 90, 17)), this, kHelpMenuTag, nullptr, 0);
    for (COptionMenu* menu : {viewMenu, helpMenu}) {
        menu->setFont(6);
        menu->setFontColor(kWhiteCColor);
        menu->setHoriAlign(kCenterText);
        menu->setTransparency(true);
        frame->addView(menu);
    }
    for (const char* entry : {"View", "-", "Linear", "Logarithmic"}) {
        viewMenu->addEntry(entry);
    }
    viewMenu->setCurrent(0);
    viewMenu->checkEntry(0, false);
    viewMenu->checkEntry(2, true);
    viewMenu->checkEntry(3, false);

    for (const char* entry : {"Help", "-", "corvale...", "About..."}) {
        helpMenu->addEntry(entry);
    }
    helpMenu->setCurrent(0);
    return true;
}

void tq_spectrumEditor::close() {
    opened = false;
    CFrame* closing = frame;
    frame = nullptr;
    if (closing) {
        for (DialogView* panel : panels) {
            if (panel && panel->view) {
                closing->removeView(panel->view, false);
            }
        }
    }
    // A view out of the frame is held by the editor alone: bars taken out
    // for a panel, or a view that a failed open had not put in yet.
    const auto release = [closing](auto*& view) {
        if (view && !(closing && closing->isChild(view))) {
            view->forget();
        }
        view = nullptr;
    };
    for (CVuMeter*& bar : bars) {
        release(bar);
    }
    for (DialogView*& panel : panels) {
        delete panel;
        panel = nullptr;
    }
    for (CParamDisplay*& label : frequencyLabels) {
        release(label);
    }
    release(viewMenu);
    release(helpMenu);
    shownPanel = -1;
    // Last, with the editor closed: ending an open menu's edit reaches the
    // host. A host closing us from a callback made inside the frame gets
    // the window down, and the frame deleted, once that call returns.
    if (closing) {
        closing->close();
        closing->forget();
    }
}

// [SECTION] Idle and panels

void tq_spectrumEditor::idle() {
    if (!opened) {
        return;
    }
    try {
        idleWork();
    } catch (const std::exception&) {
        // Out of memory: this turn is skipped, the next one tries again.
    }
}

void tq_spectrumEditor::idleWork() {
    const int32_t requested = requestedPanel.load(std::memory_order_relaxed);
    if (requested != -1) {
        if (requested >= 0 && requested < 2 && panels[requested]) {
            panels[requested]->idle();
        }
    } else {
        const uint32_t now = platform::tickCount();
        if (static_cast<int32_t>(now - lastRefresh) > refreshInterval) {
            decayStep(now);
        }
    }
    if (requested != shownPanel) {
        showPanel(requested);
    }
    if (!inIdleStuff && frame) {
        frame->idle();
    }
}

void tq_spectrumEditor::decayStep(uint32_t now) {
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        float level = 0.0f;
        if (core) {
            level = core->bandLevel[i].load(std::memory_order_relaxed) - kDecayStep;
            if (level < 0.0f) {
                level = 0.0f;
            }
            core->bandLevel[i].store(level, std::memory_order_relaxed);
        }
        if (bars[i]) {
            bars[i]->setValue(level);
            bars[i]->setDirty(true);
        }
    }
    lastRefresh = now;
}

void tq_spectrumEditor::showPanel(int32_t index) {
    if (!frame) {
        return;
    }
    auto shownView = [this]() -> CView* {
        return shownPanel >= 0 && panels[shownPanel] ? panels[shownPanel]->view : nullptr;
    };
    if (index == -1) {
        if (CView* view = shownView()) {
            frame->removeView(view, false);
        }
        for (CVuMeter* bar : bars) {
            if (bar) {
                frame->addView(bar);
            }
        }
        setScale(scaleMode);
    } else if (index == 0 || index == 1) {
        if (shownPanel == -1) {
            for (CVuMeter* bar : bars) {
                if (bar) {
                    frame->removeView(bar, false);
                }
            }
        } else if (CView* view = shownView()) {
            frame->removeView(view, false);
        }
        if (panels[index] && panels[index]->view) {
            panels[index]->view->setDirty(true);
            frame->addView(panels[index]->view);
        }
    } else {
        return;
    }
    frame->setDirty(true);
    shownPanel = index;
}

void tq_spectrumEditor::setParameter(VstInt32 index, float value) {
    const int32_t requested = requestedPanel.load(std::memory_order_relaxed);
    if (opened && requested >= 0 && requested < 2 && panels[requested]) {
        panels[requested]->setParameter(index, value);
    }
}

// [SECTION] Band table and labels

float tq_spectrumEditor::displaySampleRate() const {
    const float rate = core ? core->getSampleRate() : kFallbackSampleRate;
    return std::isfinite(rate) && rate > 0.0f ? rate : kFallbackSampleRate;
}

void tq_spectrumEditor::setScale(int32_t mode) {
    const float sampleRate = displaySampleRate();
    scaleMode = mode;
    const double binWidth = static_cast<double>(sampleRate) * kBinWidthPerRate;
    if (mode == 1) {
        lowFrequency = 10.0f;
        highFrequency = 100000.0f;
    } else {
        lowFrequency = 0.0f;
        highFrequency = sampleRate * 0.5f;
    }
    const float a = std::log10(lowFrequency);
    const float b = std::log10(highFrequency);
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        float frequency;
        if (mode == 1) {
            const float exponent = a + (b - a) * static_cast<float>(i) / kLastBand;
            frequency = std::pow(10.0f, exponent);
        } else {
            frequency =
                lowFrequency + (highFrequency - lowFrequency) * static_cast<float>(i) / kLastBand;
        }
        const int32_t bin = truncateToInt32(static_cast<double>(frequency) / binWidth);
        if (core) {
            core->bandStartBin[i].store(bin, std::memory_order_relaxed);
        }
    }
    for (CParamDisplay* label : frequencyLabels) {
        if (label) {
            label->setDirty(true);
        }
    }
}

void tq_spectrumEditor::selectScale(int32_t mode) {
    setScale(mode);
    if (viewMenu) {
        viewMenu->checkEntry(2, mode != 1);
        viewMenu->checkEntry(3, mode == 1);
    }
}

void tq_spectrumEditor::frequencyText(float value, char* text, void* user) {
    if (!text) {
        return;
    }
    text[0] = 0;
    const auto* editor = static_cast<const tq_spectrumEditor*>(user);
    if (!editor) {
        return;
    }
    const float low = editor->lowFrequency;
    const float high = editor->highFrequency;
    if (editor->scaleMode == 1) {
        const float a = std::log10(low);
        const float b = std::log10(high);
        const float exponent = a + (b - a) * value;
        const float frequency = std::pow(10.0f, exponent);
        const long rounded = truncateToInt32(static_cast<double>(frequency + 0.5f));
        if (rounded % 10 != 0) {
            return;
        }
        if (rounded < 1000) {
            std::snprintf(text, 256, "%ld", rounded);
        } else {
            std::snprintf(text, 256, "%ldk", rounded / 1000);
        }
        return;
    }
    const float frequency = low + value * (high - low);
    if (frequency >= 1000.0f) {
        // The product is wide: rounded to float, 1250 Hz would read "1.2k".
        std::snprintf(text, 256, "%.1fk",
                      static_cast<double>(frequency) * static_cast<double>(kKilohertzPerHertz));
    } else {
        std::snprintf(text, 256, "%3.0f", static_cast<double>(frequency));
    }
}

// [SECTION] Commands

void tq_spectrumEditor::valueChanged(CDrawContext* context, CControl* control) {
    if (!control) {
        return;
    }
    const int32_t requested = requestedPanel.load(std::memory_order_relaxed);
    if (requested >= 0) {
        if (requested < 2 && panels[requested]) {
            panels[requested]->valueChanged(context, control);
        }
        return;
    }
    const int32_t tag = control->getTag();
    if (tag == kHelpMenuTag && control == helpMenu) {
        switch (helpMenu->getCurrent()) {
        case 2:
            platform::openUrl(kHomePage);
            break;
        case 3:
            requestedPanel.store(0, std::memory_order_relaxed);
            break;
        default:
            break;
        }
        helpMenu->setCurrent(0);
        helpMenu->setDirty(true);
        return;
    }
    if (tag == kViewMenuTag && control == viewMenu) {
        switch (viewMenu->getCurrent()) {
        case 0:
            viewMenu->checkEntry(0, false);
            break;
        case 2:
            selectScale(0);
            break;
        case 3:
            selectScale(1);
            break;
        default:
            break;
        }
        viewMenu->setCurrent(0);
        viewMenu->checkEntry(0, false);
        viewMenu->setDirty(true);
        return;
    }
    control->setDirty(true);
}

int32_t tq_spectrumEditor::controlModifierClicked(CDrawContext*, CControl*, int32_t) {
    return 0;
}
