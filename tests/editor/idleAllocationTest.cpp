// Counts heap allocations while the host idles the open editor: decay
// steps, bar and label redraws and panel switches must all run on what
// open built.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "PluginRig.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

long countAllocations(const std::function<void()>& work) {
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations.load();
}

} // namespace

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

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
        auto* p = new std::vector<int>(10);
        delete p;
    });
    EXPECT_GE(allocated, 2);
}
