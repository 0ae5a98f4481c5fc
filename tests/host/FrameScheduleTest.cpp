#include <gtest/gtest.h>

#include <vector>

#include "host/FrameSchedule.h"

namespace {

// Feeds pieces of at most `block` samples, cut at frame ends as the host
// does, and records where frames completed.
std::vector<int64_t> frameEnds(int64_t total, int64_t block) {
    FrameSchedule schedule;
    std::vector<int64_t> ends;
    while (schedule.samplesFed() < total) {
        const int64_t piece =
            std::min({block, schedule.samplesUntilNextFrame(), total - schedule.samplesFed()});
        if (schedule.advance(piece)) {
            ends.push_back(schedule.samplesFed());
        }
    }
    return ends;
}

TEST(FrameScheduleTest, FramesCompleteAt1024ThenEvery4096) {
    const std::vector<int64_t> expected{1024, 5120, 9216, 13312};
    for (int64_t block : {1, 7, 512, 1024, 4096, 100000}) {
        EXPECT_EQ(frameEnds(13312, block), expected) << "block " << block;
    }
}

TEST(FrameScheduleTest, CountsFramesOfAStreamLength) {
    EXPECT_EQ(FrameSchedule::frameCountFor(0), 0);
    EXPECT_EQ(FrameSchedule::frameCountFor(1023), 0);
    EXPECT_EQ(FrameSchedule::frameCountFor(1024), 1);
    EXPECT_EQ(FrameSchedule::frameCountFor(5119), 1);
    EXPECT_EQ(FrameSchedule::frameCountFor(5120), 2);
    EXPECT_EQ(FrameSchedule::frameCountFor(44100), 11);
    EXPECT_EQ(FrameSchedule::frameCountFor(8 * 44100), 86);
}

} // namespace
