// Stand-ins for the editor around the toolkit: an owner that records edits
// and idle calls, a listener that records value changes, a view that
// counts its drawings and clicks, and an open frame in a headless window.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessWindow.h"
#include "toolkit/CControl.h"
#include "toolkit/CControlListener.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/CFrameOwner.h"
#include "toolkit/CView.h"

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

constexpr uint32_t kNavy = rgb(0, 0, 102);
constexpr uint32_t kWhite = rgb(255, 255, 255);
constexpr uint32_t kBlackPixel = rgb(0, 0, 0);
constexpr uint32_t kGreen = rgb(51, 255, 0);

// One log shared by owner and listener, so that order can be checked:
// "begin 2", "changed 2 = 3", "end 2", "idle".
using EventLog = std::vector<std::string>;

class FakeOwner : public CFrameOwner {
public:
    explicit FakeOwner(EventLog* sharedLog = nullptr) : log(sharedLog ? sharedLog : &ownLog) {}
    void beginEdit(int32_t tag) override { log->push_back("begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { log->push_back("end " + std::to_string(tag)); }
    void doIdleStuff() override {
        ++idleCalls;
        if (onIdle) {
            onIdle();
        }
    }

    EventLog* log;
    EventLog ownLog;
    int32_t idleCalls = 0;
    std::function<void()> onIdle;
};

class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(EventLog* sharedLog) : log(sharedLog) {}
    void valueChanged(CDrawContext*, CControl* control) override {
        values.push_back(control->getValue());
        controls.push_back(control);
        char text[64];
        std::snprintf(text, sizeof text, "changed %d = %g", int(control->getTag()),
                      double(control->getValue()));
        log->push_back(text);
    }
    int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t) override {
        ++modifierCalls;
        return modifierAnswer;
    }

    EventLog* log;
    std::vector<float> values;
    std::vector<CControl*> controls;
    int32_t modifierCalls = 0;
    int32_t modifierAnswer = 0;
};

class ProbeView : public CView {
public:
    ProbeView(const CRect& rect, uint32_t fillColour, int32_t* destroyedCount = nullptr)
        : CView(rect), colour(fillColour), destroyed(destroyedCount) {}
    ~ProbeView() override {
        if (destroyed) {
            ++*destroyed;
        }
    }
    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(CColor::fromArgb(colour));
        context->fillRect(size);
        setDirty(false);
    }
    void mouse(CDrawContext*, CPoint& where, int32_t buttons) override {
        ++clicks;
        lastWhere = where;
        lastButtons = buttons;
        if (onClick) {
            onClick();
        }
    }

    uint32_t colour;
    int32_t* destroyed;
    int32_t draws = 0;
    int32_t clicks = 0;
    CPoint lastWhere;
    int32_t lastButtons = 0;
    std::function<void()> onClick;
};

// A frame of the given size, open in a headless window.
struct OpenFrame {
    explicit OpenFrame(int32_t width = 570, int32_t height = 180)
        : owner(&log), frame(new CFrame(CRect(0, 0, width, height), &owner)) {
        opened = frame->open(window.handle());
    }
    ~OpenFrame() { frame->forget(); }
    OpenFrame(const OpenFrame&) = delete;
    OpenFrame& operator=(const OpenFrame&) = delete;

    EventLog log;
    HeadlessWindow window;
    FakeOwner owner;
    CFrame* frame;
    bool opened = false;
};

// Bounds of the pixels inside `area` that differ from `background`.
struct Ink {
    int32_t left = 1 << 30;
    int32_t top = 1 << 30;
    int32_t right = -1; // inclusive
    int32_t bottom = -1;
    int32_t count = 0;
    bool any() const { return count > 0; }
    double centreX() const { return (left + right) / 2.0; }
    double centreY() const { return (top + bottom) / 2.0; }
};

template <typename PixelAt>
Ink findInk(PixelAt pixelAt, const CRect& area, uint32_t background) {
    Ink ink;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (pixelAt(x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
        }
    }
    return ink;
}
