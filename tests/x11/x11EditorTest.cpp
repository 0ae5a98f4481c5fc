// The editor in a real X window: what it shows against the headless layer,
// and the menus and the About panel driven by XTest clicks.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include <X11/keysym.h>

#include "HeadlessReference.h"
#include "IdleThread.h"
#include "platform/headless/PngCodec.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11MenuLayout.h"
#include "StderrCapture.h"
#include "TestPlugin.h"
#include "X11Fixture.h"

namespace {

using Layout = X11MenuLayout;

// Placement of the parent on the root, so that window and root
// coordinates differ.
constexpr int32_t kParentX = 100;
constexpr int32_t kParentY = 120;

// Points inside the View and Help menus and the About panel's OK button.
constexpr int32_t kViewX = 37;
constexpr int32_t kHelpX = 72;
constexpr int32_t kMenuY = 10;
constexpr int32_t kOkX = 517;
constexpr int32_t kOkY = 163;
// The label row under the plot.
constexpr int32_t kLabelTop = 143;
constexpr int32_t kLabelBottom = 155;
// A tone in band 60 of the linear axis, its bar well right of any popup.
constexpr int32_t kToneBin = 322;
// Far above what an idle takes, far below what waiting for a user takes.
constexpr int64_t kIdleBoundUs = 250000;

// The entries as the menus offer them; the layout only needs which are
// separators.
const platform::MenuItem kMenuEntries[] = {{"View", false, false},
                                           {"-", true, false},
                                           {"Linear", false, false},
                                           {"Logarithmic", false, false}};

// Whether entry `index` of a popup shows a check mark: text-coloured
// pixels in its check column.
bool showsCheckMark(const TestDisplay::Picture& menu, size_t index) {
    const int32_t top = Layout::entryTop(kMenuEntries, index);
    for (int32_t y = top; y < top + Layout::kEntryHeight && y < menu.height; ++y) {
        for (int32_t x = Layout::kBorder; x < Layout::kBorder + Layout::kCheckColumn; ++x) {
            if (menu.rgb(x, y) == (Layout::kText & 0xFFFFFFu)) {
                return true;
            }
        }
    }
    return false;
}

// Lit pixels in the bars of bands 40 to 96, right of where a popup lies.
int32_t litBarPixels(const TestDisplay::Picture& shown) {
    constexpr uint32_t kLitGreen = 0x33FF00u;
    int32_t lit = 0;
    for (int32_t y = 36; y < 136 && y < shown.height; ++y) {
        for (int32_t x = 44 + 5 * 40; x < 527 && x < shown.width; ++x) {
            lit += shown.rgb(x, y) == kLitGreen ? 1 : 0;
        }
    }
    return lit;
}

bool showsSeparatorLine(const TestDisplay::Picture& menu, size_t index) {
    const int32_t top = Layout::entryTop(kMenuEntries, index);
    const int32_t y = top + Layout::kSeparatorHeight / 2;
    return menu.rgb(menu.width / 2, y) == (Layout::kSeparatorLine & 0xFFFFFFu);
}

class X11EditorTest : public X11Fixture {
protected:
    // Clicks the menu at (x, kMenuY) of the editor and waits for its popup.
    Window openMenu(const TestDisplay::Geometry& editor, int32_t x) {
        screen.click(editor.x + x, editor.y + kMenuY);
        return screen.waitForPopup(5000);
    }
    // Clicks entry `index` of the popup and waits for it to close.
    bool chooseEntry(Window popup, size_t index) {
        const TestDisplay::Geometry g = screen.geometry(popup);
        screen.click(g.x + 30,
                     g.y + Layout::entryTop(kMenuEntries, index) + Layout::kEntryHeight / 2);
        return screen.waitForPopupGone(popup, 5000);
    }
};

TEST_F(X11EditorTest, WindowMatchesHeadlessThroughMenusAndAboutPanel) {
    StderrCapture errors;
    const Window parent = screen.createParent(kParentX, kParentY, kWidth, kHeight);
    TestPlugin plugin(entry);
    ASSERT_TRUE(plugin.valid());
    HeadlessReference reference;

    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    const Window editor = screen.firstChild(parent);
    ASSERT_NE(editor, 0u);
    const TestDisplay::Geometry at = screen.geometry(editor);
    EXPECT_EQ(at.x, kParentX);
    EXPECT_EQ(at.y, kParentY);
    EXPECT_EQ(at.width, kWidth);
    EXPECT_EQ(at.height, kHeight);
    {
        IdleThread idler([&] { plugin.editIdle(); });
        EXPECT_EQ(settle(editor, reference.picture()), "") << "linear axis";
        const std::vector<uint32_t> linear = screen.read(editor).pixels;

        // View: the popup sits at the menu's bottom-left corner, "Linear"
        // carries the check mark.
        Window popup = openMenu(at, kViewX);
        ASSERT_NE(popup, 0u);
        const TestDisplay::Geometry menuAt = screen.geometry(popup);
        EXPECT_EQ(menuAt.x, at.x + 20);
        EXPECT_EQ(menuAt.y, at.y + 17);
        EXPECT_EQ(menuAt.height, Layout::height(kMenuEntries, 4));
        const TestDisplay::Picture menu = screen.read(popup);
        EXPECT_FALSE(showsCheckMark(menu, 0));
        EXPECT_TRUE(showsSeparatorLine(menu, 1));
        EXPECT_TRUE(showsCheckMark(menu, 2));
        EXPECT_FALSE(showsCheckMark(menu, 3));

        ASSERT_TRUE(chooseEntry(popup, 3)) << "Logarithmic";
        reference.choose(kViewX, kMenuY, 3);
        EXPECT_EQ(settle(editor, reference.picture()), "") << "logarithmic axis";
        EXPECT_GT(
            countDifferences(screen.read(editor).pixels, linear, kWidth, kLabelTop, kLabelBottom),
            0u);
        EXPECT_EQ(countDifferences(screen.read(editor).pixels, linear, kWidth, 0, kLabelTop), 0u)
            << "only the labels change";

        // Help ▸ "About..."
        popup = openMenu(at, kHelpX);
        ASSERT_NE(popup, 0u);
        EXPECT_EQ(screen.geometry(popup).x, at.x + 55);
        ASSERT_TRUE(chooseEntry(popup, 3)) << "About...";
        reference.choose(kHelpX, kMenuY, 3);
        reference.idle();
        EXPECT_EQ(settle(editor, reference.picture()), "") << "About panel";

        // OK: the bars are back, still on the logarithmic axis.
        screen.click(at.x + kOkX, at.y + kOkY);
        reference.click(kOkX, kOkY);
        reference.idle();
        EXPECT_EQ(settle(editor, reference.picture()), "") << "after OK";
    }
    plugin.editClose();
    EXPECT_TRUE(screen.exists(parent)) << "the host's window survives the editor";
    EXPECT_EQ(screen.firstChild(parent), 0u);
    screen.destroy(parent);
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

// However a menu ends, it leaves nothing on the screen, no X error and the
// keys going to the host again. While it is open the host's idle goes on
// as ever: every call returns at once, and the bars keep falling.
TEST_F(X11EditorTest, AMenuNeverHoldsTheHostAndLeavesNothingBehind) {
    enum class End { escape, clickOutside, editorClosed, parentDestroyed, pluginClosed };
    for (const End end : {End::escape, End::clickOutside, End::editorClosed, End::parentDestroyed,
                          End::pluginClosed}) {
        SCOPED_TRACE(int(end));
        StderrCapture errors;
        const Window parent = screen.createParent(kParentX, kParentY, kWidth, kHeight);
        auto owned = std::make_unique<TestPlugin>(entry);
        TestPlugin& plugin = *owned;
        HeadlessReference reference;
        ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
        const Window editor = screen.firstChild(parent);
        const TestDisplay::Geometry at = screen.geometry(editor);
        Window popup = 0;
        {
            std::atomic<int64_t> longestIdleUs{0};
            IdleThread idler([&] {
                const auto start = std::chrono::steady_clock::now();
                plugin.editIdle();
                const auto took = std::chrono::steady_clock::now() - start;
                longestIdleUs.store(std::max(
                    longestIdleUs.load(),
                    int64_t(std::chrono::duration_cast<std::chrono::microseconds>(took).count())));
            });
            popup = openMenu(at, kViewX);
            ASSERT_NE(popup, 0u);
            const long passesBefore = idler.passes();
            longestIdleUs.store(0);

            // A tone played with the menu open: its bar rises and falls back.
            plugin.playTone(kToneBin, 4 * 4096);
            int32_t highest = 0;
            bool fellBack = false;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!fellBack && std::chrono::steady_clock::now() < deadline) {
                const int32_t lit = litBarPixels(screen.read(editor));
                highest = std::max(highest, lit);
                fellBack = highest > 0 && lit == 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            EXPECT_GT(highest, 0) << "the bar rose";
            EXPECT_TRUE(fellBack) << "and fell back";
            EXPECT_FALSE(screen.waitForPopupGone(popup, 0)) << "with the menu open throughout";
            EXPECT_GT(idler.passes(), passesBefore + 10);
            EXPECT_LT(longestIdleUs.load(), kIdleBoundUs) << "no idle call waits for the menu";

            if (end == End::escape) {
                // The menu may take the keyboard a moment after it shows; a
                // key pressed before that goes elsewhere.
                for (int attempt = 0; attempt < 10 && screen.findPopup() == popup; ++attempt) {
                    screen.pressKey(XK_Escape);
                    screen.waitForPopupGone(popup, 500);
                }
            } else if (end == End::clickOutside) {
                screen.click(at.x + 300, at.y + kHeight + 40);
            }
            if (end == End::escape || end == End::clickOutside) {
                EXPECT_TRUE(screen.waitForPopupGone(popup, 5000));
                // Nothing was chosen: still the linear axis.
                EXPECT_EQ(settle(editor, reference.picture()), "");
            }
        }
        // On the host's user-interface thread, as the idle was.
        Window host = parent;
        if (end == End::editorClosed) {
            plugin.editClose();
        } else if (end == End::pluginClosed) {
            owned.reset(); // no effEditClose first
        } else if (end == End::parentDestroyed) {
            screen.destroy(parent);
            for (int32_t i = 0; i < 3; ++i) {
                plugin.editIdle();
            }
            host = screen.createParent(kParentX, kParentY, kWidth, kHeight);
        }
        EXPECT_TRUE(screen.waitForPopupGone(popup, 2000));
        EXPECT_EQ(screen.findPopup(), 0u) << "no menu left on the screen";
        EXPECT_TRUE(screen.keyReaches(host, at.x + 300, at.y + 100, 2000)) << "keys go to the host";
        if (owned) {
            plugin.editClose();
        }
        screen.destroy(host);
        EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
    }
}

// A desktop at 192 dpi (Xft.dpi in the root window's RESOURCE_MANAGER, as
// xrdb sets it): the host is told twice the size, the window has it and
// shows what the headless layer draws at 2x, and the popups are drawn at
// 2x too. With TQ_X11_PICTURES=folder the pictures are kept there.
TEST_F(X11EditorTest, AtXftDpi192TheEditorAndItsMenusAreTwiceTheSize) {
    screen.setResources("Xft.antialias:\t1\nXft.dpi:\t192\n");
    struct Restore {
        TestDisplay& screen;
        ~Restore() { screen.setResources(nullptr); }
    } restore{screen};
    const Window parent = screen.createParent(kParentX, kParentY, 1, 1);
    TestPlugin plugin(entry);
    HeadlessReference reference(2.0f);
    EXPECT_EQ(plugin.editWidth(), 2 * kWidth);
    EXPECT_EQ(plugin.editHeight(), 2 * kHeight);
    screen.resize(parent, 2 * kWidth, 2 * kHeight);
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    const Window editor = screen.firstChild(parent);
    ASSERT_NE(editor, 0u);
    const TestDisplay::Geometry at = screen.geometry(editor);
    EXPECT_EQ(at.width, 2 * kWidth);
    EXPECT_EQ(at.height, 2 * kHeight);
    {
        IdleThread idler([&] { plugin.editIdle(); });
        EXPECT_EQ(settle(editor, reference.picture(), 5000, 2 * kWidth, 2 * kHeight), "");
        const char* pictures = std::getenv("TQ_X11_PICTURES");
        const auto keep = [pictures](const TestDisplay::Picture& p, const char* name) {
            if (pictures) {
                PngCodec::write(std::string(pictures) + "/" + name, p.width, p.height,
                                p.pixels.data());
            }
        };
        keep(screen.read(editor), "x11-2x.png");

        screen.click(at.x + 2 * kViewX, at.y + 2 * kMenuY);
        const Window popup = screen.waitForPopup(5000);
        ASSERT_NE(popup, 0u);
        const TestDisplay::Geometry menuAt = screen.geometry(popup);
        EXPECT_EQ(menuAt.x, at.x + 40);
        EXPECT_EQ(menuAt.y, at.y + 34);
        EXPECT_EQ(menuAt.height, Layout::height(kMenuEntries, 4, 200));
        keep(screen.read(popup), "x11-2x-menu.png");
        screen.pressKey(XK_Escape);
        EXPECT_TRUE(screen.waitForPopupGone(popup, 5000));
    }
    plugin.editClose();
    screen.destroy(parent);
}

// What the desktop's settings ask for: Xft.dpi over 96, GDK_SCALE (whole
// numbers, as GTK reads it), the larger of the two; 0 when neither says.
TEST(X11Desktop, ScaleFromXftDpiAndGdkScale) {
    struct Case {
        const char* resources;
        const char* gdkScale;
        float factor;
    };
    const Case cases[] = {
        {"Xft.dpi:\t192\n", nullptr, 2.0f},
        {"Xft.antialias: 1\nXft.dpi: 144\nXft.hinting: 1\n", nullptr, 1.5f},
        {"*dpi: 120\n", nullptr, 1.25f},
        {"Xft.dpi: 96\n", "2", 2.0f},
        {"Xft.dpi: 192\n", "1", 2.0f},
        {nullptr, "2", 2.0f},
        {nullptr, "1.5", 0.0f},
        {"Xft.dpi: lots\n", "", 0.0f},
        {"Xft.dpi: -96\n", "0", 0.0f},
        {"Xft.hinting: 1\n", nullptr, 0.0f},
        {nullptr, nullptr, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(X11Desktop::scaleFrom(c.resources, c.gdkScale), c.factor)
            << (c.resources ? c.resources : "(none)")
            << " GDK_SCALE=" << (c.gdkScale ? c.gdkScale : "");
    }
}

TEST_F(X11EditorTest, OpensInAOnePixelParentBeforeTheHostAsksForTheSize) {
    const Window parent = screen.createParent(kParentX, kParentY, 1, 1);
    TestPlugin plugin(entry);
    HeadlessReference reference;
    // Ardour's order: open first, then ask for the rectangle and resize.
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    plugin.editIdle();
    EXPECT_EQ(plugin.editWidth(), kWidth);
    EXPECT_EQ(plugin.editHeight(), kHeight);
    screen.resize(parent, plugin.editWidth(), plugin.editHeight());
    const Window editor = screen.firstChild(parent);
    EXPECT_EQ(settleIdling(plugin, editor, reference.picture()), "") << "exposure repaints it";
    plugin.editClose();
    screen.destroy(parent);
}

TEST_F(X11EditorTest, ParentWithAlphaGetsAnOpaquePicture) {
    const Window parent = screen.createParent(kParentX, kParentY, kWidth, kHeight, 32);
    if (!parent) {
        GTEST_SKIP() << "the X server offers no 32-bit visual";
    }
    TestPlugin plugin(entry);
    HeadlessReference reference;
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    const Window editor = screen.firstChild(parent);
    EXPECT_EQ(settleIdling(plugin, editor, reference.picture()), "");
    const TestDisplay::Picture shown = screen.read(editor);
    size_t transparent = 0;
    for (uint32_t p : shown.pixels) {
        transparent += (p >> 24) != 0xFF ? 1 : 0;
    }
    EXPECT_EQ(transparent, 0u);
    plugin.editClose();
    screen.destroy(parent);
}

} // namespace
