// Counts heap allocations while the host idles the open editor: decay
// steps, bar and label redraws and panel switches must all run on what
// open built.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "PluginRig.h"
#include "tests/support/allocationHook.h"

namespace {

long countAllocations(const std::function<void()>& work) {
    allocationHook::startCounting();
    work();
    return static_cast<long>(allocationHook::stopCounting());
}

} // namespace

TEST(EditorIdle, NeverAllocatesOnceOpen) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    tq_spectrumEditor* editor = rig.editor();
    tq_spectrumCore* core = rig.core();
    for (auto& level : core->bandLevel) {
        level.store(1.0f);
    }
    std::function<void()> idleAWhile = [&] {
        for (int32_t i = 0; i < 100; ++i) {
            rig.idleAfter(10);
        }
    };
    const long allocated = countAllocations([&] {
        idleAWhile();        // first full drawing, decay steps, bar redraws
        editor->setScale(1); // labels to redraw at the next idle
        idleAWhile();
        editor->requestedPanel.store(1); // suspended panel in, bars out
        idleAWhile();
        editor->requestedPanel.store(0); // About in its place
        idleAWhile();
        editor->requestedPanel.store(-1); // bars back
        idleAWhile();
    });
    EXPECT_EQ(allocated, 0);
    EXPECT_EQ(editor->shownPanel, -1);
    EXPECT_EQ(core->bandLevel[0].load(), 0.0f) << "the decay did run";
}

TEST(EditorIdle, CounterSeesAllocations) {
    // Guards the test above against a counter that cannot count.
    const long allocated = countAllocations([] {
        // Through a volatile pointer, so that the compiler cannot drop the pair.
        static std::vector<int>* volatile kept = nullptr;
        kept = new std::vector<int>(10);
        delete kept;
    });
    EXPECT_GE(allocated, 2);
}
