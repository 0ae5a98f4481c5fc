// Bitmap resources requested from several threads at once: each is decoded
// once, every thread gets the same pixels, and the editors of instances
// opened on separate threads show the same picture.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "editor/DialogView.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CBitmapCache.h"
#include "toolkit/CViewContainer.h"

namespace {

constexpr int32_t kThreads = 4;

// A resource of 64 x 64 pixels for ids 1 to 8, missing otherwise; every
// load of an odd id fails once, so that failures race with successes.
struct ThreadedResources {
    static inline std::atomic<int32_t> loads{0};
    static inline std::atomic<bool> failedOdd[9] = {};

    static platform::Status size(int32_t id, int32_t* width, int32_t* height) {
        if (id < 1 || id > 8) {
            return platform::Status::notFound;
        }
        *width = 64;
        *height = 64;
        return platform::Status::ok;
    }
    static platform::Status load(int32_t id, uint32_t* pixels, size_t capacity) {
        loads.fetch_add(1, std::memory_order_relaxed);
        if (id % 2 == 1 && !failedOdd[id].exchange(true)) {
            return platform::Status::failed;
        }
        for (size_t i = 0; i < capacity; ++i) {
            pixels[i] = 0xFF000000u | uint32_t(id) << 16 | uint32_t(i);
        }
        return platform::Status::ok;
    }
};

TEST(BitmapsOnSeparateThreads, EachResourceIsDecodedOnceAndSeenAlikeByAll) {
    CBitmapCache cache(CBitmapCache::Source{&ThreadedResources::size, &ThreadedResources::load});
    std::vector<std::vector<const CBitmapCache::Pixels*>> seen(kThreads);
    std::atomic<int32_t> ready{0};
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
            }
            for (int32_t round = 0; round < 50; ++round) {
                for (int32_t id = 0; id <= 9; ++id) {
                    const CBitmapCache::Image image = cache.find(id);
                    if (round == 49) {
                        seen[size_t(t)].push_back(image.pixels.get());
                    }
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // Eight resources, and the four odd ones failed once each before.
    EXPECT_EQ(ThreadedResources::loads.load(), 12);
    EXPECT_EQ(cache.getDecodeCount(), 12u);
    for (int32_t t = 1; t < kThreads; ++t) {
        EXPECT_EQ(seen[size_t(t)], seen[0]) << "thread " << t;
    }
    ASSERT_EQ(seen[0].size(), 10u);
    EXPECT_EQ(seen[0][0], nullptr);
    EXPECT_EQ(seen[0][9], nullptr);
    for (size_t id = 1; id <= 8; ++id) {
        ASSERT_NE(seen[0][id], nullptr) << id;
        EXPECT_EQ((*seen[0][id])[4095], 0xFF000000u | uint32_t(id) << 16 | 4095u) << id;
    }
}

// What one user-interface thread saw of its instance's editor.
struct Seen {
    bool opened = true;
    const uint32_t* background = nullptr;
    const uint32_t* suspended = nullptr;
    std::vector<uint32_t> picture;
};

void runInstance(Seen& seen, HeadlessWindow& window, std::atomic<int32_t>& ready) {
    ready.fetch_add(1);
    while (ready.load() < kThreads) {
    }
    // Built here: the editor loads its background while the others do.
    AEffect* effect = VSTPluginMain(fakeHost::callback);
    if (!effect) {
        seen.opened = false;
        return;
    }
    for (int32_t round = 0; round < 3; ++round) {
        if (effect->dispatcher(effect, effEditOpen, 0, 0, window.handle(), 0.0f) != 1) {
            seen.opened = false;
            break;
        }
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        const auto* editor = static_cast<const tq_spectrumEditor*>(
            static_cast<tq_spectrum*>(effect->object)->getEditor());
        seen.background = std::as_const(*editor->background).getPixels();
        seen.suspended = std::as_const(*editor->panels[1]->view->getBackground()).getPixels();
        seen.picture = window.pixels();
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(EditorsOnSeparateThreads, OpenAtOnceOnOneDecodeOfEachResource) {
    std::vector<Seen> seen(kThreads);
    // The headless layer's list of host windows is not for several threads:
    // the windows come and go here, only their use is on the threads.
    std::vector<HeadlessWindow> windows(kThreads);
    std::atomic<int32_t> ready{0};
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back(runInstance, std::ref(seen[size_t(t)]), std::ref(windows[size_t(t)]),
                             std::ref(ready));
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(CBitmapCache::resources().getDecodeCount(), 7u);
    for (int32_t t = 0; t < kThreads; ++t) {
        const Seen& s = seen[size_t(t)];
        ASSERT_TRUE(s.opened) << "thread " << t;
        ASSERT_NE(s.background, nullptr) << "thread " << t;
        EXPECT_EQ(s.background, seen[0].background) << "thread " << t;
        EXPECT_EQ(s.suspended, seen[0].suspended) << "thread " << t;
        EXPECT_EQ(s.picture, seen[0].picture) << "thread " << t;
    }
}

} // namespace
