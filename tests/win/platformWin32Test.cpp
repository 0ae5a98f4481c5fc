// The Win32 layer in this program (its resources compiled in as they are
// into the DLL): bitmaps from BITMAP resources, the child window and its
// class, presenting and painting, mouse messages and capture, the tracking
// poll, native popup menus and GDI text.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "EditorScenes.h"
#include "HostWindow.h"
#include "MenuDriver.h"
#include "platform/platform.h"
#include "platform/win32/GdiText.h"
#include "resources/embeddedResources.h"
#include "resources/PixelPack.h"

namespace {

using platform::Status;

struct RecordingClient : platform::WindowClient {
    void mouseDown(const platform::MouseState& s) override {
        downs.push_back(s);
        captureDuringDown = GetCapture();
        if (onDown) {
            onDown();
        }
    }
    void mouseMoved(const platform::MouseState& s) override { moves.push_back(s); }
    void mouseUp(const platform::MouseState& s) override { ups.push_back(s); }
    void paint(const platform::Rect& area) override {
        paints.push_back(area);
        if (surface.pixels) {
            platform::present(window, surface, area);
        }
    }

    std::vector<platform::MouseState> downs;
    std::vector<platform::MouseState> moves;
    std::vector<platform::MouseState> ups;
    std::vector<platform::Rect> paints;
    HWND captureDuringDown = nullptr;
    std::function<void()> onDown;
    void* window = nullptr;
    platform::Surface surface;
};

class Win32Layer : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setModuleHandle(GetModuleHandleA(nullptr));
        ASSERT_NE(host.handle(), nullptr);
    }
    void TearDown() override {
        if (child) {
            platform::destroyWindow(child);
        }
        HostWindow::pump();
    }

    void open(int32_t width = 570, int32_t height = 180) {
        ASSERT_EQ(platform::createWindow(host.handle(), width, height, &client, &child),
                  Status::ok);
        client.window = child;
        HostWindow::pump();
    }

    HWND window() const { return static_cast<HWND>(child); }

    HostWindow host{"layer", 40, 40};
    RecordingClient client;
    void* child = nullptr;
};

std::vector<uint8_t> embeddedBytes(int32_t id) {
    const EmbeddedResource* r = findEmbeddedResource(id);
    return r ? std::vector<uint8_t>(r->data, r->data + r->size) : std::vector<uint8_t>();
}

// Every channel varies, and no two neighbours are equal.
std::vector<uint32_t> pattern(int32_t w, int32_t h, uint32_t seed) {
    std::vector<uint32_t> p(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t r = uint32_t(x * 7 + seed) & 0xFF;
            const uint32_t g = uint32_t(y * 13 + seed * 3) & 0xFF;
            const uint32_t b = uint32_t(x * 3 + y * 5 + seed * 7) & 0xFF;
            p[size_t(y) * size_t(w) + size_t(x)] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return p;
}

POINT onScreen(void* window, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(static_cast<HWND>(window), &p);
    return p;
}

} // namespace

// [SECTION] Bitmap resources

TEST_F(Win32Layer, ResourceBitmapsAreTheDrawnFilesPixelForPixel) {
    const struct {
        int32_t id, width, height;
    } expected[] = {{10001, 570, 180}, {10002, 570, 180},  {10003, 570, 180}, {10004, 60, 28},
                    {10005, 3, 100},   {10006, 3, 100},    {10007, 41, 12},   {11002, 855, 270},
                    {11007, 62, 18},   {12001, 1140, 360}, {12004, 120, 56}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        int32_t w = 0;
        int32_t h = 0;
        ASSERT_EQ(platform::bitmapSize(e.id, &w, &h), Status::ok);
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
        std::vector<uint32_t> loaded(size_t(w) * size_t(h), 0x12345678u);
        ASSERT_EQ(platform::loadBitmap(e.id, loaded.data(), loaded.size()), Status::ok);
        const std::vector<uint8_t> bytes = embeddedBytes(e.id);
        std::vector<uint32_t> drawn(loaded.size());
        ASSERT_TRUE(PixelPack::decode(bytes.data(), bytes.size(), drawn.data(), drawn.size()));
        EXPECT_EQ(loaded, drawn) << "top row first, 0xFFRRGGBB";
    }
}

TEST_F(Win32Layer, UnknownBitmapsAndShortBuffersAreRefused) {
    int32_t w = 0;
    int32_t h = 0;
    EXPECT_EQ(platform::bitmapSize(10008, &w, &h), Status::notFound);
    EXPECT_EQ(platform::bitmapSize(0, &w, &h), Status::notFound);
    EXPECT_EQ(platform::bitmapSize(-10001, &w, &h), Status::notFound);
    EXPECT_EQ(platform::bitmapSize(10001, nullptr, &h), Status::invalidArgument);
    std::vector<uint32_t> small(41 * 12 - 1, 7u);
    EXPECT_EQ(platform::loadBitmap(10007, small.data(), small.size()), Status::invalidArgument);
    EXPECT_EQ(small.front(), 7u) << "nothing written";
    EXPECT_EQ(platform::loadBitmap(10007, nullptr, 1000), Status::invalidArgument);
    EXPECT_EQ(platform::loadBitmap(99, small.data(), small.size()), Status::notFound);
}

TEST_F(Win32Layer, BitmapsComeFromTheStoredModule) {
    int32_t w = 0;
    int32_t h = 0;
    // With nothing stored the module holding the layer is asked.
    platform::setModuleHandle(nullptr);
    EXPECT_EQ(platform::moduleHandle(), nullptr);
    EXPECT_EQ(platform::bitmapSize(10001, &w, &h), Status::ok);
    // A module without our resources has none of them.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    platform::setModuleHandle(kernel);
    EXPECT_EQ(platform::moduleHandle(), kernel);
    EXPECT_EQ(platform::bitmapSize(10001, &w, &h), Status::notFound);
    platform::setModuleHandle(GetModuleHandleA(nullptr));
    EXPECT_EQ(platform::bitmapSize(10001, &w, &h), Status::ok);
}

// [SECTION] Window

TEST_F(Win32Layer, ChildWindowSitsAtTheParentsOriginWithTheFrameSize) {
    open();
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_EQ(GetParent(window()), host.handle());
    const LONG_PTR style = GetWindowLongPtrA(window(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    RECT r{};
    GetWindowRect(window(), &r);
    MapWindowPoints(nullptr, host.handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 570);
    EXPECT_EQ(r.bottom, 180);
}

TEST_F(Win32Layer, WindowClassIsNamedAfterTheModuleAndRegisteredWithIt) {
    open();
    const std::string name = HostWindow::className(window());
    char expected[64];
    std::snprintf(expected, sizeof(expected), "tq-spectrum-frame-%p",
                  static_cast<void*>(GetModuleHandleA(nullptr)));
    EXPECT_EQ(name, expected);
    WNDCLASSEXA info{};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &info));

    // The last window takes the class with it; the next one registers anew.
    platform::destroyWindow(child);
    child = nullptr;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &info));
    open();
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &info));
}

TEST_F(Win32Layer, OneChildPerParentAndOnlyRealParents) {
    open();
    RecordingClient other;
    void* second = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(platform::createWindow(host.handle(), 570, 180, &other, &second), Status::busy);
    EXPECT_EQ(second, nullptr);
    HostWindow another("another", 60, 300);
    EXPECT_EQ(platform::createWindow(another.handle(), 570, 180, nullptr, &second),
              Status::invalidArgument);
    EXPECT_EQ(platform::createWindow(reinterpret_cast<void*>(0x4321), 570, 180, &other, &second),
              Status::invalidArgument);
    EXPECT_EQ(platform::createWindow(another.handle(), 0, 180, &other, &second),
              Status::invalidArgument);
    // A window that is not ours is no handle of the layer.
    EXPECT_EQ(platform::destroyWindow(another.handle()), Status::invalidArgument);
    EXPECT_EQ(platform::pumpEvents(another.handle()), Status::invalidArgument);
    EXPECT_EQ(platform::pumpEvents(child), Status::ok);
}

TEST_F(Win32Layer, DestroyingTwiceAndAParentGoneFirstAreHarmless) {
    open();
    EXPECT_EQ(platform::destroyWindow(child), Status::ok);
    EXPECT_FALSE(IsWindow(window()));
    EXPECT_EQ(platform::destroyWindow(child), Status::invalidArgument);
    child = nullptr;

    // Hosts often destroy their window before they close the editor.
    open();
    std::vector<uint32_t> pixels(570 * 180, 0xFF102030u);
    DestroyWindow(host.handle());
    host.release();
    EXPECT_EQ(platform::present(child, platform::Surface{570, 180, pixels.data()},
                                platform::Rect{0, 0, 570, 180}),
              Status::invalidArgument);
    EXPECT_EQ(platform::destroyWindow(child), Status::invalidArgument);
    child = nullptr;
}

TEST_F(Win32Layer, AWindowDestroyedWhileItsClientWorksIsLetGoAfterwards) {
    open();
    const HWND hwnd = window();
    // As when a host closes the editor from inside a control's tracking loop.
    client.onDown = [this] { EXPECT_EQ(platform::destroyWindow(child), Status::ok); };
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(client.downs.size(), 1u);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(platform::pollMouse(child, nullptr), Status::invalidArgument);
    child = nullptr;
    // The class went with the last window, and comes back with the next.
    open();
    EXPECT_TRUE(IsWindow(window()));
}

// [SECTION] Presenting and painting

TEST_F(Win32Layer, PresentShowsTheSurfaceExactlyAndOnlyTheArea) {
    open();
    std::vector<uint32_t> first = pattern(570, 180, 1);
    ASSERT_EQ(platform::present(child, platform::Surface{570, 180, first.data()},
                                platform::Rect{0, 0, 570, 180}),
              Status::ok);
    RawImage shown = HostWindow::capture(window());
    ASSERT_TRUE(shown.valid());
    EXPECT_EQ(shown.pixels, first);

    std::vector<uint32_t> second = pattern(570, 180, 77);
    const platform::Rect area{100, 20, 300, 90};
    ASSERT_EQ(platform::present(child, platform::Surface{570, 180, second.data()}, area),
              Status::ok);
    shown = HostWindow::capture(window());
    int32_t wrong = 0;
    for (int32_t y = 0; y < 180; ++y) {
        for (int32_t x = 0; x < 570; ++x) {
            const bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const size_t i = size_t(y) * 570 + size_t(x);
            wrong += shown.pixels[i] != (in ? second[i] : first[i]) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);

    // What the window prints is what it shows.
    EXPECT_EQ(HostWindow::print(window()).pixels, shown.pixels);
}

TEST_F(Win32Layer, PresentRefusesASurfaceOfAnotherSizeAndClipsTheArea) {
    open();
    std::vector<uint32_t> pixels(570 * 180, 0xFFAABBCCu);
    EXPECT_EQ(platform::present(child, platform::Surface{569, 180, pixels.data()},
                                platform::Rect{0, 0, 10, 10}),
              Status::invalidArgument);
    EXPECT_EQ(platform::present(child, platform::Surface{570, 180, nullptr},
                                platform::Rect{0, 0, 10, 10}),
              Status::invalidArgument);
    EXPECT_EQ(platform::present(child, platform::Surface{570, 180, pixels.data()},
                                platform::Rect{-50, -50, 5000, 5000}),
              Status::ok);
    const RawImage shown = HostWindow::capture(window());
    ASSERT_TRUE(shown.valid());
    EXPECT_EQ(shown.at(569, 179), 0xFFAABBCCu);
    EXPECT_EQ(platform::present(child, platform::Surface{570, 180, pixels.data()},
                                platform::Rect{30, 30, 10, 10}),
              Status::ok)
        << "an empty area is nothing to do";
}

TEST_F(Win32Layer, PaintAsksTheClientForTheLostAreaAndShowsIt) {
    std::vector<uint32_t> pixels = pattern(570, 180, 9);
    client.surface = platform::Surface{570, 180, pixels.data()};
    open();
    client.paints.clear();
    RECT lost{10, 20, 30, 40};
    InvalidateRect(window(), &lost, FALSE);
    HostWindow::pump();
    ASSERT_EQ(client.paints.size(), 1u);
    const platform::Rect area = client.paints[0];
    EXPECT_LE(area.left, 10);
    EXPECT_LE(area.top, 20);
    EXPECT_GE(area.right, 30);
    EXPECT_GE(area.bottom, 40);
    EXPECT_EQ(HostWindow::capture(window()).at(15, 25), pixels[25 * 570 + 15]);
}

// [SECTION] Mouse

TEST_F(Win32Layer, MouseMessagesReachTheClientAndTheWindowHoldsTheCapture) {
    open();
    HWND hwnd = window();
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(12, 34));
    ASSERT_EQ(client.downs.size(), 1u);
    EXPECT_EQ(client.downs[0].x, 12);
    EXPECT_EQ(client.downs[0].y, 34);
    EXPECT_EQ(client.downs[0].buttons, platform::kMouseLeft | platform::kModShift);
    EXPECT_EQ(client.captureDuringDown, hwnd);
    // No button is really down: the capture is not kept.
    EXPECT_NE(GetCapture(), hwnd);

    // Outside the window while captured: negative coordinates.
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_RBUTTON | MK_CONTROL, MAKELPARAM(-5, -7));
    ASSERT_EQ(client.moves.size(), 1u);
    EXPECT_EQ(client.moves[0].x, -5);
    EXPECT_EQ(client.moves[0].y, -7);
    EXPECT_EQ(client.moves[0].buttons, platform::kMouseRight | platform::kModControl);

    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
    SendMessageA(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(3, 4));
    ASSERT_EQ(client.downs.size(), 3u);
    EXPECT_EQ(client.downs[1].buttons, platform::kMouseRight);
    EXPECT_EQ(client.downs[2].buttons, platform::kMouseMiddle);

    SetCapture(hwnd);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(600, 200));
    ASSERT_EQ(client.ups.size(), 1u);
    EXPECT_EQ(client.ups[0].x, 600);
    EXPECT_EQ(client.ups[0].buttons, 0);
    EXPECT_NE(GetCapture(), hwnd) << "released with the last button";
}

TEST_F(Win32Layer, PollReportsTheCursorInWindowCoordinates) {
    open();
    const POINT p = onScreen(child, 100, 50);
    ASSERT_TRUE(SetCursorPos(p.x, p.y));
    platform::MouseState state;
    ASSERT_EQ(platform::pollMouse(child, &state), Status::ok);
    EXPECT_EQ(state.x, 100);
    EXPECT_EQ(state.y, 50);
    EXPECT_EQ(state.buttons & (platform::kMouseLeft | platform::kMouseRight), 0);
    EXPECT_EQ(platform::pollMouse(child, nullptr), Status::invalidArgument);
    EXPECT_EQ(platform::pollMouse(host.handle(), &state), Status::invalidArgument);
}

TEST_F(Win32Layer, EachPollServesOnePendingRepaint) {
    std::vector<uint32_t> pixels = pattern(570, 180, 3);
    client.surface = platform::Surface{570, 180, pixels.data()};
    open();
    HostWindow secondHost("second", 40, 300);
    RecordingClient secondClient;
    void* second = nullptr;
    ASSERT_EQ(platform::createWindow(secondHost.handle(), 570, 180, &secondClient, &second),
              Status::ok);
    HostWindow::pump();
    client.paints.clear();
    secondClient.paints.clear();

    InvalidateRect(window(), nullptr, FALSE);
    InvalidateRect(static_cast<HWND>(second), nullptr, FALSE);
    platform::MouseState state;
    platform::pollMouse(child, &state);
    EXPECT_EQ(client.paints.size() + secondClient.paints.size(), 1u);
    platform::pollMouse(child, &state);
    EXPECT_EQ(client.paints.size(), 1u);
    EXPECT_EQ(secondClient.paints.size(), 1u);
    platform::pollMouse(child, &state);
    EXPECT_EQ(client.paints.size() + secondClient.paints.size(), 2u) << "nothing left to paint";
    platform::destroyWindow(second);
}

// [SECTION] Popup menu

namespace {

std::vector<platform::MenuItem> viewMenu() {
    std::vector<platform::MenuItem> items(4);
    items[0].text = "View";
    items[1].text = "-";
    items[1].separator = true;
    items[2].text = "Linear";
    items[2].checked = true;
    items[3].text = "Log & more";
    return items;
}

int32_t choose(MenuDriver& driver, void* window, int32_t x, int32_t y,
               const std::vector<platform::MenuItem>& items) {
    driver.arm();
    int32_t chosen = -2;
    platform::popupMenu(window, x, y, items.data(), items.size(), &chosen);
    return chosen;
}

} // namespace

TEST_F(Win32Layer, PopupShowsTheEntriesAtTheCornerWithSeparatorAndCheck) {
    open();
    MenuDriver driver({VK_ESCAPE});
    const int32_t chosen = choose(driver, child, 20, 17, viewMenu());
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(chosen, -1) << "dismissed";
    const POINT corner = onScreen(child, 20, 17);
    EXPECT_EQ(driver.where.left, corner.x);
    EXPECT_EQ(driver.where.top, corner.y);
    ASSERT_EQ(driver.texts.size(), 4u);
    EXPECT_EQ(driver.texts[0], "View");
    EXPECT_EQ(driver.texts[2], "Linear");
    EXPECT_EQ(driver.texts[3], "Log && more") << "an ampersand is shown, not a mnemonic";
    EXPECT_TRUE(driver.states[1] & MF_SEPARATOR);
    EXPECT_FALSE(driver.states[0] & MF_CHECKED);
    EXPECT_TRUE(driver.states[2] & MF_CHECKED);
    EXPECT_FALSE(driver.states[3] & MF_CHECKED);
    // Identifiers are index + 1, so that entry 0 is not "dismissed".
    EXPECT_EQ(driver.ids[0], 1u);
    EXPECT_EQ(driver.ids[2], 3u);
    EXPECT_EQ(driver.ids[3], 4u);
}

TEST_F(Win32Layer, PopupAnswersTheChosenIndexFirstEntryIncluded) {
    open();
    MenuDriver first({VK_DOWN, VK_RETURN});
    EXPECT_EQ(choose(first, child, 0, 0, viewMenu()), 0);
    MenuDriver past({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(choose(past, child, 0, 0, viewMenu()), 2) << "the separator is passed over";
    MenuDriver last({VK_UP, VK_RETURN});
    EXPECT_EQ(choose(last, child, 0, 0, viewMenu()), 3);
    int32_t chosen = 5;
    EXPECT_EQ(platform::popupMenu(child, 0, 0, nullptr, 2, &chosen), Status::invalidArgument);
    EXPECT_EQ(platform::popupMenu(host.handle(), 0, 0, viewMenu().data(), 4, &chosen),
              Status::invalidArgument);
}

// [SECTION] Text

namespace {

struct Canvas {
    explicit Canvas(uint32_t fill = 0xFF000000u) : pixels(200 * 60, fill) {}
    platform::Surface surface() { return platform::Surface{200, 60, pixels.data()}; }
    EditorScenes::Box ink(uint32_t background = 0xFF000000u) const {
        EditorScenes::Box b{200, 60, 0, 0};
        for (int32_t y = 0; y < 60; ++y) {
            for (int32_t x = 0; x < 200; ++x) {
                if (pixels[size_t(y) * 200 + size_t(x)] != background) {
                    b.left = std::min(b.left, x);
                    b.top = std::min(b.top, y);
                    b.right = std::max(b.right, x + 1);
                    b.bottom = std::max(b.bottom, y + 1);
                }
            }
        }
        return b;
    }
    std::vector<uint32_t> pixels;
};

platform::TextRun run(const char* text, int32_t font, platform::Rect box,
                      platform::TextAlign align = platform::TextAlign::left) {
    platform::TextRun r;
    r.text = text;
    r.font = font;
    r.box = box;
    r.clip = platform::Rect{0, 0, 200, 60};
    r.align = align;
    return r;
}

} // namespace

TEST_F(Win32Layer, NumberedFontsHaveArialsCapitalHeights) {
    // Arial's capitals are 0.716 of the character height: 6.4 px at 9 px
    // (font 6) and 7.9 px at 11 px (font 4).
    const struct { int32_t font, lowest, highest; } heights[] = {{6, 6, 7}, {4, 7, 9}};
    for (const auto& h : heights) {
        SCOPED_TRACE(h.font);
        Canvas canvas;
        ASSERT_EQ(platform::drawText(canvas.surface(), run("HEH", h.font, {10, 10, 190, 50})),
                  Status::ok);
        const EditorScenes::Box ink = canvas.ink();
        EXPECT_GE(ink.bottom - ink.top, h.lowest);
        EXPECT_LE(ink.bottom - ink.top, h.highest);
    }

    int32_t w6 = 0;
    int32_t w4 = 0;
    ASSERT_EQ(platform::textWidth(6, "22.1k", &w6), Status::ok);
    ASSERT_EQ(platform::textWidth(4, "22.1k", &w4), Status::ok);
    // Arial's digits advance 0.556 em: four of them, a point and a k.
    EXPECT_GE(w6, 18);
    EXPECT_LE(w6, 24);
    EXPECT_GT(w4, w6);
    int32_t none = -1;
    EXPECT_EQ(platform::textWidth(6, "", &none), Status::ok);
    EXPECT_EQ(none, 0);

    // Arial, or what the system offers in its place (under wine: its
    // metric twin, Liberation Sans).
    const std::string face = GdiText::instance().faceName(6);
    RecordProperty("font6", face);
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face;
    EXPECT_EQ(face, GdiText::instance().faceName(4));
}

TEST_F(Win32Layer, TextIsAlignedInItsBoxAndCentredVertically) {
    const platform::Rect box{20, 10, 120, 40};
    int32_t width = 0;
    platform::textWidth(6, "100k", &width);
    Canvas centred;
    platform::drawText(centred.surface(), run("100k", 6, box, platform::TextAlign::centre));
    const EditorScenes::Box c = centred.ink();
    EXPECT_NEAR((c.left + c.right) / 2.0, 70.0, 2.0);
    EXPECT_NEAR((c.top + c.bottom) / 2.0, 25.0, 2.5);
    Canvas left;
    platform::drawText(left.surface(), run("100k", 6, box, platform::TextAlign::left));
    EXPECT_GE(left.ink().left, 20);
    EXPECT_LE(left.ink().left, 22);
    Canvas right;
    platform::drawText(right.surface(), run("100k", 6, box, platform::TextAlign::right));
    EXPECT_LE(right.ink().right, 121);
    EXPECT_GE(right.ink().right, 118);
    EXPECT_NEAR(right.ink().right - right.ink().left, width, 2);
}

TEST_F(Win32Layer, TextStaysInsideTheClipAndBlendsItsColour) {
    Canvas clipped(0xFF000066u);
    platform::TextRun r = run("Version 1.3.0", 4, {0, 0, 200, 60}, platform::TextAlign::centre);
    r.clip = platform::Rect{0, 0, 100, 60};
    r.colour = 0xFFFF0000u;
    ASSERT_EQ(platform::drawText(clipped.surface(), r), Status::ok);
    const EditorScenes::Box ink = clipped.ink(0xFF000066u);
    EXPECT_LT(ink.left, ink.right);
    EXPECT_LE(ink.right, 100) << "nothing right of the clip";
    for (uint32_t p : clipped.pixels) {
        // Red over navy: green stays 0, blue only fades.
        EXPECT_EQ(p >> 8 & 0xFF, 0u);
        EXPECT_LE(p & 0xFF, 0x66u);
        EXPECT_EQ(p >> 24, 0xFFu);
    }
    Canvas outside;
    r.clip = platform::Rect{300, 300, 400, 400};
    EXPECT_EQ(platform::drawText(outside.surface(), r), Status::ok);
    EXPECT_EQ(outside.ink().right, 0) << "a clip off the surface draws nothing";
}

TEST_F(Win32Layer, BadTextRequestsAreRefused) {
    Canvas c;
    EXPECT_EQ(platform::drawText(c.surface(), run(nullptr, 6, {0, 0, 10, 10})),
              Status::invalidArgument);
    EXPECT_EQ(platform::drawText(c.surface(), run("x", 7, {0, 0, 10, 10})),
              Status::invalidArgument);
    EXPECT_EQ(platform::drawText(c.surface(), run("x", -1, {0, 0, 10, 10})),
              Status::invalidArgument);
    EXPECT_EQ(platform::drawText(platform::Surface{}, run("x", 6, {0, 0, 10, 10})),
              Status::invalidArgument);
    int32_t w = 0;
    EXPECT_EQ(platform::textWidth(6, nullptr, &w), Status::invalidArgument);
    EXPECT_EQ(platform::textWidth(9, "x", &w), Status::invalidArgument);
}

// [SECTION] System services

TEST_F(Win32Layer, OleInitialisationPairsUpAndUrlsNeedAnAddress) {
    EXPECT_EQ(platform::oleInitialize(), Status::ok);
    EXPECT_EQ(platform::oleInitialize(), Status::ok) << "again on the same thread";
    platform::oleUninitialize();
    platform::oleUninitialize();
    EXPECT_EQ(platform::openUrl(nullptr), Status::invalidArgument);
    EXPECT_EQ(platform::openUrl(""), Status::invalidArgument);
}
