// Decoded bitmap resources kept once per process: one decode per resource,
// the same pixels for every bitmap of it, failures tried again, and a
// bitmap written into gets a copy of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "resources/bitmapIds.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CBitmapCache.h"
#include "toolkit/COffscreenContext.h"
#include "toolkitFakes.h"

namespace {

using platform::Status;

// Stand-in resources: id 1 is 3 x 2, id 2 is 1 x 1, id 3 has no pixels,
// everything else is missing. Loads fail while `failures` is above zero.
struct FakeResources {
    static inline int32_t sizeCalls = 0;
    static inline int32_t loadCalls = 0;
    static inline int32_t failures = 0;

    static void reset() {
        sizeCalls = 0;
        loadCalls = 0;
        failures = 0;
    }
    static Status size(int32_t id, int32_t* width, int32_t* height) {
        ++sizeCalls;
        constexpr int32_t sizes[3][2] = {{3, 2}, {1, 1}, {0, 5}}; // ids 1 to 3
        if (id < 1 || id > 3) {
            return Status::notFound;
        }
        *width = sizes[id - 1][0];
        *height = sizes[id - 1][1];
        return Status::ok;
    }
    static Status load(int32_t id, uint32_t* pixels, size_t capacity) {
        ++loadCalls;
        if (failures > 0) {
            --failures;
            return Status::failed;
        }
        for (size_t i = 0; i < capacity; ++i) {
            pixels[i] = 0xFF000000u | uint32_t(id) << 16 | uint32_t(i);
        }
        return Status::ok;
    }
    static CBitmapCache::Source source() { return {&size, &load}; }
};

class BitmapCache : public ::testing::Test {
protected:
    void SetUp() override { FakeResources::reset(); }
};

TEST_F(BitmapCache, DecodesEachResourceOnceAndHandsOutTheSamePixels) {
    CBitmapCache cache(FakeResources::source());
    const CBitmapCache::Image first = cache.find(1);
    ASSERT_NE(first.pixels, nullptr);
    EXPECT_EQ(first.width, 3);
    EXPECT_EQ(first.height, 2);
    EXPECT_EQ(*first.pixels, (CBitmapCache::Pixels{0xFF010000u, 0xFF010001u, 0xFF010002u,
                                                   0xFF010003u, 0xFF010004u, 0xFF010005u}));

    const CBitmapCache::Image again = cache.find(1);
    EXPECT_EQ(again.pixels, first.pixels) << "the same storage, not a copy";
    EXPECT_EQ(again.width, 3);
    EXPECT_EQ(again.height, 2);
    const CBitmapCache::Image other = cache.find(2);
    ASSERT_NE(other.pixels, nullptr);
    EXPECT_NE(other.pixels, first.pixels);
    EXPECT_EQ(cache.find(2).pixels, other.pixels);

    EXPECT_EQ(FakeResources::loadCalls, 2);
    EXPECT_EQ(cache.getDecodeCount(), 2u);
}

TEST_F(BitmapCache, AFailedDecodeIsNotKeptAndALaterRequestTriesAgain) {
    CBitmapCache cache(FakeResources::source());
    FakeResources::failures = 2;
    EXPECT_EQ(cache.find(1).pixels, nullptr);
    EXPECT_EQ(cache.find(1).pixels, nullptr);
    const CBitmapCache::Image image = cache.find(1);
    ASSERT_NE(image.pixels, nullptr) << "the third attempt succeeds";
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ((*image.pixels)[5], 0xFF010005u);
    EXPECT_EQ(cache.find(1).pixels, image.pixels);
    EXPECT_EQ(FakeResources::loadCalls, 3);
    EXPECT_EQ(cache.getDecodeCount(), 3u);
}

TEST_F(BitmapCache, AMissingOrEmptyResourceGivesNoPixelsAndLoadsNothing) {
    CBitmapCache cache(FakeResources::source());
    for (int32_t id : {3, 4, 0, -1, 3}) {
        const CBitmapCache::Image image = cache.find(id);
        EXPECT_EQ(image.pixels, nullptr) << id;
        EXPECT_EQ(image.width, 0) << id;
        EXPECT_EQ(image.height, 0) << id;
    }
    EXPECT_EQ(FakeResources::sizeCalls, 5) << "asked again each time";
    EXPECT_EQ(FakeResources::loadCalls, 0);
    EXPECT_EQ(cache.getDecodeCount(), 0u);
}

TEST(BitmapSharing, BitmapsOfOneResourceShareItsPixelsAsDecoded) {
    const CBitmap a(bitmapIds::kBackground);
    const CBitmap b(bitmapIds::kBackground);
    ASSERT_TRUE(a.isLoaded());
    EXPECT_EQ(a.getPixels(), b.getPixels());
    EXPECT_EQ(a.getWidth(), 570);
    EXPECT_EQ(a.getHeight(), 180);
    const CBitmap suspended(bitmapIds::kSuspended);
    EXPECT_NE(a.getPixels(), suspended.getPixels());

    std::vector<uint32_t> decoded(570u * 180u);
    ASSERT_EQ(platform::loadBitmap(bitmapIds::kBackground, decoded.data(), decoded.size()),
              Status::ok);
    EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), a.getPixels()));

    const size_t decodes = CBitmapCache::resources().getDecodeCount();
    const CBitmap c(bitmapIds::kBackground);
    EXPECT_EQ(CBitmapCache::resources().getDecodeCount(), decodes);
}

TEST(BitmapSharing, WritingIntoOneGivesItACopyAndLeavesTheOthersAlone) {
    CBitmap* written = new CBitmap(bitmapIds::kLabelBackground);
    CBitmap* other = new CBitmap(bitmapIds::kLabelBackground);
    ASSERT_TRUE(written->isLoaded());
    const uint32_t original = other->getPixel(0, 0);
    ASSERT_NE(original, rgb(200, 0, 0));

    uint32_t* pixels = written->getPixels();
    ASSERT_NE(pixels, std::as_const(*other).getPixels()) << "copied before the write";
    pixels[0] = rgb(200, 0, 0);
    EXPECT_EQ(written->getPixels(), pixels) << "copied once";
    EXPECT_EQ(written->getPixel(0, 0), rgb(200, 0, 0));
    EXPECT_EQ(written->getPixel(1, 0), original) << "the rest as decoded";
    EXPECT_EQ(other->getPixel(0, 0), original);
    CBitmap* later = new CBitmap(bitmapIds::kLabelBackground);
    EXPECT_EQ(later->getPixel(0, 0), original);
    EXPECT_EQ(std::as_const(*later).getPixels(), std::as_const(*other).getPixels());

    COffscreenContext target(1, 1);
    other->draw(&target, CRect(0, 0, 1, 1));
    EXPECT_EQ(target.getPixel(0, 0), original);
    written->draw(&target, CRect(0, 0, 1, 1));
    EXPECT_EQ(target.getPixel(0, 0), rgb(200, 0, 0));

    // The copy belongs to the bitmap: it outlives the others' release.
    other->forget();
    later->forget();
    EXPECT_EQ(written->getPixel(0, 0), rgb(200, 0, 0));
    written->forget();
}

TEST(BitmapSharing, ABlankBitmapIsWrittenInPlaceAndAMissingOneHasNothingToWrite) {
    CBitmap blank(2, 2);
    uint32_t* pixels = blank.getPixels();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(blank.getPixels(), pixels);
    EXPECT_EQ(std::as_const(blank).getPixels(), pixels);

    CBitmap missing(99);
    EXPECT_EQ(missing.getPixels(), nullptr);
    EXPECT_FALSE(missing.isLoaded());
}

} // namespace
