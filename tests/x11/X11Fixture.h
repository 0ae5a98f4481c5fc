// What every X11 case shares: the test's X connection (skipped without a
// display), the built plug-in library, and a comparison that waits for the
// editor's window to show a picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IdleThread.h"
#include "TestDisplay.h"
#include "TestPlugin.h"
#include "tests/support/PluginLibrary.h"

class X11Fixture : public ::testing::Test {
protected:
    static constexpr int32_t kWidth = 570;
    static constexpr int32_t kHeight = 180;

    void SetUp() override;

    // Waits (editor idled elsewhere) until `window` shows `expected`
    // (0x00RRGGBB, width x height); the differing pixels at the end.
    std::string settle(Window window, const std::vector<uint32_t>& expected, int32_t waitMs = 5000,
                       int32_t width = kWidth, int32_t height = kHeight);
    // The same with `plugin`'s editor idled from a thread of its own meanwhile.
    std::string settleIdling(TestPlugin& plugin, Window window,
                             const std::vector<uint32_t>& expected) {
        IdleThread idler([&plugin] { plugin.editIdle(); });
        return settle(window, expected);
    }

    TestDisplay screen;
    std::unique_ptr<PluginLibrary> library;
    PluginLibrary::EntryProc entry = nullptr; // its VSTPluginMain
};

// Pixels of `picture` that differ from `expected` in rows [top, bottom).
size_t countDifferences(const std::vector<uint32_t>& picture, const std::vector<uint32_t>& expected,
                        int32_t width, int32_t top, int32_t bottom);
