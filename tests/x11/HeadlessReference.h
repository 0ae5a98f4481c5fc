// The same editor on the headless layer, linked into the test: what the X
// window must show, pixel for pixel, after the same steps. Popups are
// answered by script instead of by clicks.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/headless/HeadlessWindow.h"
#include "TestPlugin.h"

class HeadlessReference {
public:
    // The plug-in at 48 kHz with its editor open and idled once; a content
    // scale of 0 leaves it at 1x.
    explicit HeadlessReference(float contentScale = 0.0f);
    ~HeadlessReference();
    HeadlessReference(const HeadlessReference&) = delete;
    HeadlessReference& operator=(const HeadlessReference&) = delete;

    void idle();
    // A click on (x, y), then one idle.
    void click(int32_t x, int32_t y);
    // A click on the menu at (x, y) whose popup is answered with `choice`
    // (-1 dismisses it), then one idle.
    void choose(int32_t x, int32_t y, int32_t choice);
    // The window's pixels as 0x00RRGGBB, row by row.
    std::vector<uint32_t> picture() const;

private:
    HeadlessWindow window;
    TestPlugin plugin;
};
