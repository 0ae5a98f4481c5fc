// The host's two threads at full speed against each other: the audio thread
// processes loud, changing blocks of random length while the user-interface
// thread opens, idles, switches and closes the editor, suspends and resumes
// and shows the About panel. The band arrays are the only shared words; run
// under ThreadSanitizer this must report nothing, and no level may ever
// leave 0..1.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestHost.h"
#include "tests/reliability/TestSignal.h"

namespace {

// Where a click lands on the editor: the two menus and the About panel's OK.
constexpr int32_t kViewMenuX = 37;
constexpr int32_t kHelpMenuX = 72;
constexpr int32_t kMenuY = 10;
constexpr int32_t kOkX = 517;
constexpr int32_t kOkY = 162;
constexpr size_t kLongestBlock = 8192;

std::chrono::milliseconds raceLength() {
    const char* text = std::getenv("TQ_RACE_SECONDS");
    const double seconds = text ? std::atof(text) : 4.0;
    return std::chrono::milliseconds(static_cast<int64_t>(std::max(seconds, 0.5) * 1000.0));
}

struct AudioTally {
    int64_t blocks = 0;
    int64_t frames = 0;
    int64_t altered = 0;    // blocks whose output differs from their input
    int64_t outOfRange = 0; // blocks after which a level was outside 0..1
    float highest = 0.0f;
};

void playAudio(const TestHost& host, const std::atomic<bool>& stop, AudioTally& tally) {
    StereoBlock block(kLongestBlock);
    TestSignal signal(0x5eed);
    while (!stop.load(std::memory_order_relaxed)) {
        // Mostly ordinary host blocks, now and then a single frame or a long one.
        const uint32_t pick = signal.next() % 8u;
        const size_t frames = pick == 0   ? 1
                              : pick == 1 ? static_cast<size_t>(signal.between(2048, 8192))
                                          : static_cast<size_t>(signal.between(16, 1024));
        signal.fill(TestSignal::Kind::loud, block.input(0), block.input(1), frames);
        host.processReplacing(block.inputs(), block.outputs(), static_cast<VstInt32>(frames));
        ++tally.blocks;
        tally.frames += static_cast<int64_t>(frames);
        if (!block.passedThrough(0, frames) || !block.passedThrough(1, frames)) {
            ++tally.altered;
        }
        if (!host.levelsInRange()) {
            ++tally.outOfRange;
        }
        tally.highest = std::max(tally.highest, host.highestLevel());
    }
}

bool bandTableIsValid(const tq_spectrumCore& core) {
    int32_t previous = 0;
    for (const auto& entry : core.bandStartBin) {
        const int32_t bin = entry.load(std::memory_order_relaxed);
        if (bin < previous) {
            return false;
        }
        previous = bin;
    }
    return true;
}

} // namespace

TEST(AudioAgainstUserInterface, SharedBandsStayConsistentWhileBothThreadsRun) {
    HeadlessSystem::reset();
    TestHost host;
    ASSERT_NE(host.effect(), nullptr);
    HeadlessWindow window;
    tq_spectrumEditor& editor = host.editor();

    std::atomic<bool> stop{false};
    AudioTally audio;
    std::thread audioThread(playAudio, std::cref(host), std::cref(stop), std::ref(audio));

    TestSignal user(0xfeed);
    int64_t opens = 0, idles = 0, scaleSwitches = 0, aboutShown = 0, suspends = 0;
    int64_t failedOpens = 0, outOfRange = 0, badTables = 0;
    const auto deadline = std::chrono::steady_clock::now() + raceLength();
    while (std::chrono::steady_clock::now() < deadline) {
        if (host.dispatch(effEditOpen, 0, 0, window.handle()) != 1) {
            ++failedOpens;
            break;
        }
        ++opens;
        const int32_t steps = user.between(20, 300);
        for (int32_t step = 0; step < steps; ++step) {
            // The host idles every 10 ms; the fake clock makes that fast.
            HeadlessSystem::advanceTicks(10);
            host.dispatch(effEditIdle);
            ++idles;
            if (!host.levelsInRange()) {
                ++outOfRange;
            }
            if (!bandTableIsValid(host.core())) {
                ++badTables;
            }
            // Menus can be hit only while the bars are shown; a panel covers them.
            const bool barsShown = editor.shownPanel == -1;
            switch (user.next() % 14u) {
            case 0:
                if (barsShown) {
                    window.scriptPopupChoice(user.between(2, 3)); // Linear or Logarithmic
                    window.click(kViewMenuX, kMenuY);
                    ++scaleSwitches;
                }
                break;
            case 1:
                if (barsShown) {
                    window.scriptPopupChoice(3); // About...
                    window.click(kHelpMenuX, kMenuY);
                    ++aboutShown;
                }
                break;
            case 2:
                window.click(kOkX, kOkY);
                break;
            case 3:
                host.dispatch(effMainsChanged, 0, 0);
                ++suspends;
                break;
            case 4:
                host.dispatch(effMainsChanged, 0, 1);
                break;
            case 5:
                // Stored for the editor only; the audio thread must not read it.
                host.dispatch(effSetSampleRate, 0, 0, nullptr,
                              user.next() & 1 ? 48000.0f : 44100.0f);
                host.dispatch(effSetBlockSize, 0, user.between(1, 4096));
                break;
            default:
                break;
            }
        }
        host.dispatch(effEditClose);
    }
    stop.store(true, std::memory_order_relaxed);
    audioThread.join();

    EXPECT_EQ(failedOpens, 0);
    EXPECT_EQ(outOfRange, 0) << "the user-interface thread saw a level outside 0..1";
    EXPECT_EQ(audio.outOfRange, 0) << "the audio thread saw a level outside 0..1";
    EXPECT_EQ(audio.altered, 0) << "audio must pass through bit for bit";
    EXPECT_EQ(badTables, 0) << "the band table must never be seen decreasing";
    EXPECT_TRUE(host.levelsInRange());
    // The race really ran: both sides did their work many times over.
    EXPECT_GT(audio.frames, 44100);
    EXPECT_GT(audio.highest, 0.5f);
    EXPECT_GT(opens, 1);
    EXPECT_GT(idles, 100);
    EXPECT_GT(scaleSwitches, 0);
    EXPECT_GT(aboutShown, 0);
    EXPECT_GT(suspends, 0);
    std::printf("race: %lld blocks, %lld frames, %lld opens, %lld idles, %lld scale switches, "
                "%lld About panels, %lld suspends\n",
                static_cast<long long>(audio.blocks), static_cast<long long>(audio.frames),
                static_cast<long long>(opens), static_cast<long long>(idles),
                static_cast<long long>(scaleSwitches), static_cast<long long>(aboutShown),
                static_cast<long long>(suspends));
}

// Hosts process separate instances on separate threads at once, and some
// create and destroy them off the user-interface thread: instances share
// nothing but read-only tables.
TEST(AudioAgainstUserInterface, InstancesOnSeparateThreadsShareNothing) {
    constexpr int32_t kThreads = 4;
    std::atomic<int64_t> failures{0};
    const auto lives = [&failures](uint32_t seed) {
        StereoBlock block(1024);
        TestSignal signal(seed);
        for (int32_t life = 0; life < 8; ++life) {
            TestHost host;
            if (!host.effect()) {
                ++failures;
                return;
            }
            for (int32_t b = 0; b < 24; ++b) {
                const size_t frames = static_cast<size_t>(signal.between(1, 1024));
                signal.fill(TestSignal::Kind::loud, block.input(0), block.input(1), frames);
                host.processReplacing(block.inputs(), block.outputs(),
                                      static_cast<VstInt32>(frames));
                if (!block.passedThrough(0, frames) || !block.passedThrough(1, frames) ||
                    !host.levelsInRange()) {
                    ++failures;
                }
            }
            if (host.highestLevel() <= 0.0f) {
                ++failures; // 24 blocks hold at least one analysed frame
            }
        }
    };
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back(lives, static_cast<uint32_t>(t + 1));
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}
