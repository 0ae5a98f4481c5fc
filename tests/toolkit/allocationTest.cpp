// Once a frame is open and drawn, idle allocates nothing, even when every
// view is dirty and text is drawn.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/allocationHook.h"
#include "toolkit/CBitmap.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CVuMeter.h"
#include "toolkitFakes.h"

namespace {

void labelText(float value, char* out, void*) {
    std::snprintf(out, 256, "%.1fk", double(value) * 22.05);
}

TEST(Allocation, IdleOfAnOpenFrameAllocatesNothing) {
    OpenFrame f;
    auto* background = new CBitmap(10001);
    f.frame->setBackground(background);
    background->forget();
    auto* patch = new CBitmap(10007);
    auto* lit = new CBitmap(10005);
    auto* unlit = new CBitmap(10006);
    std::vector<CView*> views;
    for (int32_t k = 0; k < 9; ++k) {
        auto* label = new CParamDisplay(CRect(25 + 60 * k, 143, 66 + 60 * k, 155), patch);
        label->setFont(6);
        label->setTransparency(true);
        label->setStringConvert(labelText);
        label->setValue(float(k) * 0.125f);
        views.push_back(label);
    }
    for (int32_t i = 0; i < 97; ++i) {
        auto* bar = new CVuMeter(CRect(44 + 5 * i, 36, 47 + 5 * i, 136), lit, unlit, 50);
        bar->setValue(float(i % 10) / 10.0f);
        views.push_back(bar);
    }
    auto* menu = new COptionMenu(CRect(20, 3, 55, 17), nullptr, 2);
    menu->addEntry("View");
    menu->setCurrent(0);
    menu->setTransparency(true);
    views.push_back(menu);
    for (CView* v : views) {
        f.frame->addView(v);
    }
    patch->forget();
    lit->forget();
    unlit->forget();
    f.frame->idle();

    allocationHook::startCounting();
    for (int round = 0; round < 3; ++round) {
        for (CView* v : views) {
            v->setDirty();
        }
        f.frame->idle();
    }
    f.frame->setDirty();
    f.frame->idle();
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
}

} // namespace
