// The plug-in's window driven on the audio clock: idle moments, decay, the
// View menu through the scripted popup, and the moment of the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/AnalysisRunner.h"
#include "host/AudioSource.h"
#include "host/EditorSession.h"
#include "host/FrameSink.h"
#include "host/PluginHost.h"
#include "platform/headless/HeadlessSystem.h"
#include "tests/host/cliSupport.h"

namespace {

// A 1 kHz tone for the first frame's 1024 samples, then silence.
class ToneThenSilence : public AudioSource {
public:
    ToneThenSilence(double rate, int64_t length) : rate(rate), length(length) {}
    double sampleRate() const override { return rate; }
    int32_t channelCount() const override { return 2; }
    int64_t frameCount() const override { return length; }
    std::string describe() const override { return "tone then silence"; }
    std::string error() const override { return {}; }
    size_t read(float* left, float* right, size_t maxFrames) override {
        const size_t count = static_cast<size_t>(
            std::min<int64_t>(length - position, static_cast<int64_t>(maxFrames)));
        for (size_t i = 0; i < count; ++i, ++position) {
            left[i] = right[i] =
                position < 1024 ? sine(1000.0, 0.25, long(position), int(rate)) : 0.0f;
        }
        return count;
    }

private:
    double rate;
    int64_t length;
    int64_t position = 0;
};

// Passes the clock to the session and notes, after every idle, where the
// audio was, what the fake clock read and what band 4 held.
class IdleLog : public ClockListener {
public:
    struct Entry {
        int64_t samples;
        uint32_t ticks;
        float held;
    };
    IdleLog(EditorSession& session, PluginHost& host) : session(session), host(host) {}
    int64_t nextTickSample() const override { return session.nextTickSample(); }
    bool tick(int64_t samples, std::string& error) override {
        const bool ok = session.tick(samples, error);
        entries.push_back({samples, HeadlessSystem::ticks(), host.heldLevel(4)});
        return ok;
    }
    bool finish(int64_t samples, std::string& error) override {
        const bool ok = session.finish(samples, error);
        entries.push_back({samples, HeadlessSystem::ticks(), host.heldLevel(4)});
        return ok;
    }
    std::vector<Entry> entries;

private:
    EditorSession& session;
    PluginHost& host;
};

class EditorSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.open(rate, 512, error)) << error; }

    // Plays `length` samples with the window open; false if the run fails.
    bool play(int64_t length) {
        ToneThenSilence source(rate, length);
        AnalysisRunner runner(source, host, 512);
        runner.setClock(&log);
        return runner.run(error);
    }

    double rate = 44100.0;
    PluginHost host;
    std::string error;
    EditorSession window{host, rate};
    IdleLog log{window, host};
};

TEST_F(EditorSessionTest, IdlesEveryTenMillisecondsOfAudioAndTheBarsFallOncePerHop) {
    ASSERT_TRUE(window.open(error)) << error;
    ASSERT_TRUE(play(22050)) << error; // 0.5 s
    ASSERT_EQ(log.entries.size(), 51u) << "idles at 0, 10, ..., 490 ms and one at the end";
    for (size_t k = 0; k < 50; ++k) {
        EXPECT_EQ(log.entries[k].samples, int64_t(441 * k));
        EXPECT_EQ(log.entries[k].ticks, 10 * k);
    }
    EXPECT_EQ(log.entries.back().samples, 22050);
    EXPECT_EQ(log.entries.back().ticks, 500u);

    // The first frame (complete at sample 1024, between the idles at 20 and
    // 30 ms) raised band 4; the editor lowers it by 0.2 at the first idle
    // more than 92 ms after it opened, and every 100 ms after that.
    const float peak = log.entries[3].held;
    EXPECT_GT(peak, 0.95f);
    EXPECT_EQ(log.entries[2].held, 0.0f) << "before the frame";
    EXPECT_EQ(log.entries[9].held, peak);
    float expected = peak;
    for (size_t k = 10; k < 50; ++k) {
        if (k % 10 == 0) {
            expected = std::max(expected - 0.2f, 0.0f);
        }
        EXPECT_EQ(log.entries[k].held, expected) << "idle at " << 10 * k << " ms";
    }
}

TEST_F(EditorSessionTest, IdleMomentsFollowTheSampleRate) {
    EditorSession slow(host, 22050.0);
    EXPECT_EQ(slow.pictureWidth(), 0) << "no window yet";
    EXPECT_EQ(slow.nextTickSample(), 0);
    std::string ignored;
    const int64_t expected[] = {0, 221, 441, 662, 882};
    for (int64_t sample : expected) {
        EXPECT_EQ(slow.nextTickSample(), sample);
        ASSERT_TRUE(slow.tick(sample, ignored));
    }
}

TEST_F(EditorSessionTest, PictureIsTakenAtTheFirstIdleAtOrAfterTheMoment) {
    ASSERT_TRUE(window.open(error)) << error;
    window.takePictureAt(0.07); // 7 idles, not 8, for all its binary digits
    ASSERT_TRUE(play(8820)) << error;
    ASSERT_TRUE(window.hasPicture());
    EXPECT_DOUBLE_EQ(window.pictureTime(), 7 * 441 / 44100.0);
    EXPECT_EQ(window.pictureWidth(), 570);
    EXPECT_EQ(window.pictureHeight(), 180);
}

TEST_F(EditorSessionTest, PictureAtTheEndOrPastItFails) {
    ASSERT_TRUE(window.open(error)) << error;
    window.takePictureAt(0.2001); // after the last idle, but inside the input
    ASSERT_TRUE(play(8830)) << error;
    EXPECT_DOUBLE_EQ(window.pictureTime(), 8830 / 44100.0);

    PluginHost other;
    ASSERT_TRUE(other.open(rate, 512, error)) << error;
    EditorSession late(other, rate);
    ASSERT_TRUE(late.open(error)) << error;
    late.takePictureAt(0.3);
    EXPECT_FALSE(late.finish(8830, error));
    EXPECT_FALSE(late.hasPicture());
    EXPECT_NE(error.find("the input ends at 0.200 s"), std::string::npos) << error;
}

TEST_F(EditorSessionTest, LogarithmicIsChosenThroughTheViewMenu) {
    ASSERT_TRUE(window.open(error)) << error;
    ASSERT_TRUE(window.chooseLogarithmic(error)) << error;
    const auto& popups = window.parentWindow().popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].entries[2].text, "Linear");
    EXPECT_TRUE(popups[0].entries[2].checked) << "the menu was offered on the linear axis";
    // The plug-in's bands now follow the logarithmic axis at 44.1 kHz.
    const BandTable::StartBins starts = host.bandStartBins();
    EXPECT_EQ(starts[15], 0);
    EXPECT_EQ(starts[80], 500);
    EXPECT_EQ(starts[96], 2321);
}

TEST_F(EditorSessionTest, WithoutAWindowNothingCanBeChosen) {
    EXPECT_FALSE(window.chooseLogarithmic(error)) << "the editor is not open";
    EXPECT_NE(error.find("View menu"), std::string::npos) << error;
}

} // namespace
