// What real hosts do to the editor's window: many open/idle/close cycles
// from a thread that is not the main one, parents destroyed right after
// the close or under an open editor, several editors at once, and the
// library unloaded in between.
#include <atomic>
#include <chrono>
#include <thread>

#include "HeadlessReference.h"
#include "IdleThread.h"
#include "StderrCapture.h"
#include "TestPlugin.h"
#include "tests/support/fakeHost.h"
#include "X11Fixture.h"

namespace {

using X11RobustnessTest = X11Fixture;

TEST_F(X11RobustnessTest, HundredCyclesOnAHostThreadLeaveNoErrorAndTheParentAlive) {
    StderrCapture errors;
    TestDisplay::errors = 0;
    TestPlugin plugin(entry);
    ASSERT_TRUE(plugin.valid());
    int32_t opened = 0;
    int32_t parentsAlive = 0;
    int32_t childrenLeft = 0;
    std::thread host([&] {
        for (int32_t cycle = 0; cycle < 100; ++cycle) {
            const Window parent = screen.createParent(40, 40, 1, 1);
            if (plugin.editOpen(TestPlugin::parentOf(parent))) {
                ++opened;
            }
            screen.resize(parent, plugin.editWidth(), plugin.editHeight());
            for (int32_t i = 0; i < 3; ++i) {
                plugin.editIdle();
            }
            plugin.editClose();
            parentsAlive += screen.exists(parent) ? 1 : 0;
            childrenLeft += screen.firstChild(parent) != 0 ? 1 : 0;
            // Half the time the host destroys its window at once, otherwise
            // after an idle, which changes nothing after the close.
            if (cycle % 2 == 1) {
                plugin.editIdle();
            }
            screen.destroy(parent);
        }
    });
    host.join();
    EXPECT_EQ(opened, 100);
    EXPECT_EQ(parentsAlive, 100);
    EXPECT_EQ(childrenLeft, 0);
    EXPECT_EQ(TestDisplay::errors, 0);
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

// A host may close the editor from inside the call the editor makes to it
// when a control is clicked: the window goes once the click is handled, not
// while its own dispatch of the click still runs (which AddressSanitizer
// would report as a use after free).
TEST_F(X11RobustnessTest, AHostClosingTheEditorFromInsideItsCallback) {
    StderrCapture errors;
    TestDisplay::errors = 0;
    TestPlugin plugin(entry);
    const Window parent = screen.createParent(100, 120, 570, 180);
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    const TestDisplay::Geometry at = screen.geometry(screen.firstChild(parent));
    std::atomic<bool> closed{false};
    fakeHost::reset(true);
    fakeHost::onCall = [&](const fakeHost::Call& call) {
        if (call.opcode == audioMasterBeginEdit && !closed.exchange(true)) {
            plugin.editClose();
        }
    };
    {
        IdleThread idler([&plugin] { plugin.editIdle(); });
        screen.click(at.x + 37, at.y + 10); // the View menu
        for (int32_t waited = 0; waited < 5000 && !closed.load(); waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    fakeHost::onCall = nullptr;
    fakeHost::reset();
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(screen.firstChild(parent), 0u) << "the editor's window is gone";
    EXPECT_EQ(screen.findPopup(), 0u) << "no menu left on the screen";
    screen.destroy(parent);
    EXPECT_EQ(TestDisplay::errors, 0);
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

TEST_F(X11RobustnessTest, AParentThatIsNoWindowIsRefusedQuietly) {
    StderrCapture errors;
    TestPlugin plugin(entry);
    EXPECT_FALSE(plugin.editOpen(nullptr));
    // An id no window has: the server answers BadWindow, which is no fault.
    const Window unused = screen.createParent(40, 40, 10, 10);
    screen.destroy(unused);
    EXPECT_FALSE(plugin.editOpen(TestPlugin::parentOf(unused)));
    plugin.editIdle();
    plugin.editClose();
    // The editor still opens afterwards.
    const Window parent = screen.createParent(40, 40, kWidth, kHeight);
    EXPECT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    plugin.editClose();
    screen.destroy(parent);
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

TEST_F(X11RobustnessTest, ParentDestroyedUnderAnOpenEditor) {
    StderrCapture errors;
    TestPlugin plugin(entry);
    const Window parent = screen.createParent(40, 40, kWidth, kHeight);
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(parent)));
    plugin.editIdle();
    screen.destroy(parent);
    for (int32_t i = 0; i < 5; ++i) {
        plugin.editIdle();
    }
    plugin.editClose();
    // The editor opens again in a new window and draws there.
    const Window next = screen.createParent(40, 40, kWidth, kHeight);
    HeadlessReference reference;
    ASSERT_TRUE(plugin.editOpen(TestPlugin::parentOf(next)));
    EXPECT_EQ(settleIdling(plugin, screen.firstChild(next), reference.picture()), "");
    plugin.editClose();
    screen.destroy(next);
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

TEST_F(X11RobustnessTest, SeveralInstancesWithOpenEditorsInOneProcess) {
    StderrCapture errors;
    constexpr int kInstances = 3;
    std::unique_ptr<TestPlugin> plugins[kInstances];
    Window parents[kInstances] = {};
    for (int i = 0; i < kInstances; ++i) {
        plugins[i] = std::make_unique<TestPlugin>(entry);
        parents[i] = screen.createParent(20 + 600 * (i % 2), 20 + 200 * i, kWidth, kHeight);
        ASSERT_TRUE(plugins[i]->editOpen(TestPlugin::parentOf(parents[i])));
    }
    auto idleAll = [&plugins] {
        for (auto& p : plugins) {
            if (p) {
                p->editIdle();
            }
        }
    };
    HeadlessReference reference;
    {
        IdleThread idler(idleAll);
        for (int i = 0; i < kInstances; ++i) {
            EXPECT_EQ(settle(screen.firstChild(parents[i]), reference.picture()), "")
                << "instance " << i;
        }
    }
    // Closed out of order, each leaves the others drawing.
    for (int i : {1, 0, 2}) {
        plugins[i]->editClose();
        screen.destroy(parents[i]);
        plugins[i].reset();
        idleAll();
    }
    EXPECT_EQ(errors.text().find("X error"), std::string::npos) << errors.text();
}

} // namespace
