// The headless layer itself: PNG files, scripted popups, the fake clock,
// recorded URLs, handle checks, text metrics.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/PngCodec.h"
#include "platform/platform.h"
#include "toolkit/CBitmap.h"
#include "toolkitFakes.h"

namespace {

std::string tempPath(const char* name) {
    return ::testing::TempDir() + "tq_" + std::to_string(getpid()) + "_" + name;
}

TEST(Png, WhatTheWindowShowsSurvivesARoundTrip) {
    OpenFrame f;
    auto* bitmap = new CBitmap(10002);
    f.frame->setBackground(bitmap);
    bitmap->forget();
    f.frame->idle();

    const std::string path = tempPath("window.png");
    ASSERT_EQ(f.window.writePng(path), platform::Status::ok);
    int32_t w = 0, h = 0;
    std::vector<uint32_t> back;
    ASSERT_EQ(PngCodec::read(path, &w, &h, &back), platform::Status::ok);
    std::remove(path.c_str());
    EXPECT_EQ(w, 570);
    EXPECT_EQ(h, 180);
    EXPECT_EQ(back, f.window.pixels());
}

TEST(Png, BadArgumentsAndMissingFilesAreReported) {
    const uint32_t one = rgb(1, 2, 3);
    EXPECT_EQ(PngCodec::write("", 1, 1, &one), platform::Status::invalidArgument);
    EXPECT_EQ(PngCodec::write(tempPath("x.png"), 0, 1, &one), platform::Status::invalidArgument);
    EXPECT_FALSE(std::filesystem::exists(tempPath("x.png"))) << "a refused picture left a file";
    EXPECT_EQ(PngCodec::write("/nonexistent-dir/x.png", 1, 1, &one), platform::Status::failed);
    int32_t w = 0, h = 0;
    std::vector<uint32_t> px;
    EXPECT_EQ(PngCodec::read("/nonexistent-dir/x.png", &w, &h, &px), platform::Status::notFound);
    HeadlessWindow empty;
    EXPECT_EQ(empty.writePng(tempPath("empty.png")), platform::Status::invalidArgument);
}

TEST(Popup, AnswersComeFromTheScriptInOrderAndAreRecorded) {
    OpenFrame f(50, 50);
    void* window = f.frame->getSystemWindow();
    const platform::MenuItem items[3] = {
        {"a", false, true}, {"-", true, false}, {"c", false, false}};
    f.window.scriptPopupChoice(2);
    f.window.scriptPopupChoice(1); // a separator
    f.window.scriptPopupChoice(7); // no such item
    int32_t chosen = 0;
    ASSERT_EQ(platform::popupMenu(window, 4, 9, items, 3, &chosen), platform::Status::ok);
    EXPECT_EQ(chosen, platform::kPopupPending) << "the answer reaches the frame later";
    for (int32_t i = 0; i < 3; ++i) {
        platform::popupMenu(window, 0, 0, items, 3, &chosen);
    }

    ASSERT_EQ(f.window.popups().size(), 4u);
    std::vector<int32_t> answers;
    for (const auto& popup : f.window.popups()) {
        answers.push_back(popup.answer);
    }
    EXPECT_EQ(answers, (std::vector<int32_t>{2, -1, -1, -1})) << "nothing scripted: dismissed";
    const auto& first = f.window.popups()[0];
    EXPECT_EQ(first.x, 4);
    EXPECT_EQ(first.y, 9);
    EXPECT_TRUE(first.entries[0].checked);
    EXPECT_TRUE(first.entries[1].separator);
    EXPECT_EQ(first.entries[2].text, "c");
}

TEST(Mouse, TrackingReadsTheQueueAndThenARelease) {
    OpenFrame f(50, 50);
    void* window = f.frame->getSystemWindow();
    HeadlessSystem::setTicks(1000);
    f.window.injectMouseMove(5, 6, 40);
    platform::MouseState state;
    ASSERT_EQ(platform::pollMouse(window, &state), platform::Status::ok);
    EXPECT_EQ(state.x, 5);
    EXPECT_EQ(state.y, 6);
    EXPECT_EQ(HeadlessSystem::ticks(), 1040u) << "taking the event moved the clock";
    f.window.injectMouseDown(7, 8, platform::kMouseLeft);
    platform::pollMouse(window, &state);
    EXPECT_EQ(state.buttons, platform::kMouseLeft);
    platform::pollMouse(window, &state);
    EXPECT_EQ(state.buttons, 0) << "an empty queue reads released";
    EXPECT_EQ(state.x, 7);
}

TEST(System, ClockUrlsOleAndModule) {
    HeadlessSystem::reset();
    EXPECT_EQ(platform::tickCount(), 0u);
    HeadlessSystem::advanceTicks(92);
    platform::sleep(4);
    EXPECT_EQ(platform::tickCount(), 96u);
    HeadlessSystem::setTicks(0xFFFFFFF0u);
    HeadlessSystem::advanceTicks(0x20);
    EXPECT_EQ(platform::tickCount(), 0x10u) << "wraps like a tick count";

    EXPECT_EQ(platform::openUrl("https://example.invalid/"), platform::Status::ok);
    EXPECT_EQ(platform::openUrl(nullptr), platform::Status::invalidArgument);
    ASSERT_EQ(HeadlessSystem::openedUrls().size(), 1u);
    EXPECT_EQ(HeadlessSystem::openedUrls()[0], "https://example.invalid/");

    EXPECT_EQ(platform::oleInitialize(), platform::Status::ok);
    EXPECT_EQ(HeadlessSystem::oleDepth(), 1);
    platform::oleUninitialize();
    platform::oleUninitialize();
    EXPECT_EQ(HeadlessSystem::oleDepth(), 0) << "never below zero";

    int32_t module = 0;
    platform::setModuleHandle(&module);
    EXPECT_EQ(platform::moduleHandle(), &module);
    HeadlessSystem::reset();
}

TEST(Handles, UnknownOrStaleHandlesAreRefused) {
    int32_t notAWindow = 0;
    void* child = &notAWindow;
    platform::MouseState state;
    const uint32_t px = 0;
    EXPECT_EQ(platform::destroyWindow(&notAWindow), platform::Status::invalidArgument);
    EXPECT_EQ(platform::pollMouse(&notAWindow, &state), platform::Status::invalidArgument);
    EXPECT_EQ(platform::present(&notAWindow, platform::Surface{1, 1, const_cast<uint32_t*>(&px)},
                                platform::Rect{0, 0, 1, 1}),
              platform::Status::invalidArgument);
    {
        HeadlessWindow window;
        EXPECT_EQ(platform::createWindow(window.handle(), 0, 10, nullptr, &child),
                  platform::Status::invalidArgument);
        child = window.handle();
    }
    EXPECT_EQ(platform::destroyWindow(child), platform::Status::invalidArgument)
        << "the window is gone";
}

TEST(Text, NumberedFontsMeasureAndRefuseUnknownNumbers) {
    int32_t w4 = 0, w6 = 0;
    ASSERT_EQ(platform::textWidth(4, "frequency", &w4), platform::Status::ok);
    ASSERT_EQ(platform::textWidth(6, "frequency", &w6), platform::Status::ok);
    EXPECT_GT(w4, w6) << "11 pixels against 9";
    EXPECT_GT(w6, 30);
    int32_t w = 0;
    EXPECT_EQ(platform::textWidth(7, "x", &w), platform::Status::invalidArgument);
    EXPECT_EQ(platform::textWidth(-1, "x", &w), platform::Status::invalidArgument);
    ASSERT_EQ(platform::textWidth(4, "\x01\xE9", &w), platform::Status::ok);
    EXPECT_EQ(w, 0) << "characters outside printable ASCII are skipped";
}

TEST(Text, ClipAndSurfaceBoundsAreKept) {
    std::vector<uint32_t> pixels(20 * 20, kBlackPixel);
    platform::TextRun run;
    run.text = "WWWWWWWW";
    run.font = 4;
    run.box = platform::Rect{-30, -5, 60, 25};
    run.clip = platform::Rect{-100, -100, 100, 100};
    run.colour = kWhite;
    ASSERT_EQ(platform::drawText(platform::Surface{20, 10, pixels.data()}, run),
              platform::Status::ok);
    for (size_t i = 200; i < pixels.size(); ++i) {
        ASSERT_EQ(pixels[i], kBlackPixel) << "below the 10-row surface";
    }
    EXPECT_NE(std::count(pixels.begin(), pixels.begin() + 200, kBlackPixel), 200);
}

} // namespace
