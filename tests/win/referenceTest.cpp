// The headless reference itself: the test signal lights exactly the bars
// TestSignal expects, the About panel and the suspended panel are what the
// scenario asks for, and the pictures survive the trip through a file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "analysis/SpectrumLayout.h"
#include "EditorScenes.h"
#include "HeadlessReference.h"
#include "resources/bitmapIds.h"
#include "resources/embeddedResources.h"
#include "resources/PixelPack.h"
#include "SceneImage.h"
#include "tests/support/ScratchDir.h"
#include "TestSignal.h"

namespace {

class ReferenceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        reference = new HeadlessReference;
        ran = reference->run();
    }
    static void TearDownTestSuite() {
        delete reference;
        reference = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(ran); }

    static HeadlessReference* reference;
    static bool ran;
};

HeadlessReference* ReferenceTest::reference = nullptr;
bool ReferenceTest::ran = false;

RawImage embedded(int32_t id) {
    const EmbeddedResource* r = findEmbeddedResource(id);
    int32_t w = 0;
    int32_t h = 0;
    if (!r || !PixelPack::readSize(r->data, r->size, &w, &h)) {
        return {};
    }
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    PixelPack::decode(r->data, r->size, pixels.data(), pixels.size());
    return RawImage(w, h, pixels);
}

} // namespace

TEST_F(ReferenceTest, EveryToneLightsItsBandToTheExpectedHeightAndNoOtherBand) {
    const std::vector<int32_t> expected = TestSignal::expectedSegments();
    ASSERT_EQ(expected.size(), size_t(SpectrumLayout::kBandCount));
    for (int32_t band = 0; band < SpectrumLayout::kBandCount; ++band) {
        EXPECT_EQ(SceneImage::litSegments(reference->bars, band), expected[size_t(band)])
            << "band " << band;
    }
    // The staircase runs from 40 segments at band 2 down to 17 at band 94.
    EXPECT_EQ(expected[2], 40);
    EXPECT_EQ(expected[94], 17);
}

TEST_F(ReferenceTest, TonesSitHalfASegmentFromEitherEdge) {
    for (const TestSignal::Tone& tone : TestSignal::tones()) {
        const float unlit = (1.0f - tone.shownLevel) * 50.0f + 0.5f;
        EXPECT_NEAR(unlit - float(int32_t(unlit)), 0.5f, 1e-3f) << "band " << tone.band;
        // The bin and both neighbours stay inside the band.
        EXPECT_GE(tone.bin - 1, SpectrumLayout::linearStartBin(tone.band));
        EXPECT_LT(tone.bin + 1, SpectrumLayout::linearStartBin(tone.band + 1));
    }
}

TEST_F(ReferenceTest, BarsSceneHasTextInEveryLabelAndMenu) {
    for (const EditorScenes::Box& box : EditorScenes::kBarsText) {
        const EditorScenes::Box ink = SceneImage::inkBounds(reference->bars, box);
        EXPECT_LT(ink.left, ink.right) << "box at " << box.left << "," << box.top;
    }
}

TEST_F(ReferenceTest, AboutSceneShowsTheAboutArtworkAndTheVersionLine) {
    const RawImage artwork = embedded(bitmapIds::kAbout);
    ASSERT_TRUE(artwork.valid());
    // Away from the version line and the OK button the panel is the artwork.
    const std::vector<EditorScenes::Box> covered = {EditorScenes::kAboutText[0],
                                                    {487, 156, 547, 170}};
    EXPECT_EQ(SceneImage::compare(reference->about, artwork, covered).find("outside"),
              std::string::npos);
    const EditorScenes::Box ink =
        SceneImage::inkBounds(reference->about, EditorScenes::kAboutText[0]);
    EXPECT_GT(ink.right - ink.left, 100) << "a long line of text";
}

TEST_F(ReferenceTest, SuspendedSceneIsTheDimmedBackgroundExactly) {
    const RawImage dimmed = embedded(bitmapIds::kSuspended);
    ASSERT_TRUE(dimmed.valid());
    EXPECT_EQ(SceneImage::compare(reference->suspended, dimmed, {}), "");
}

TEST_F(ReferenceTest, ComparisonFindsADifferenceOutsideTextAndToleratesInkShifts) {
    RawImage changed = reference->bars;
    changed.pixels[size_t(100) * 570 + 300] ^= 0x00FF00u;
    EXPECT_NE(SceneImage::compare(changed, reference->bars, {}), "");
    // Inside a text box a pixel may differ freely as long as the ink's
    // bounds stay put.
    const EditorScenes::Box label = EditorScenes::kBarsText[2];
    const EditorScenes::Box ink = SceneImage::inkBounds(reference->bars, label);
    RawImage shifted = reference->bars;
    shifted.pixels[size_t(ink.top) * 570 + size_t(ink.left)] ^= 0x000001u;
    const std::vector<EditorScenes::Box> boxes(std::begin(EditorScenes::kBarsText),
                                               std::end(EditorScenes::kBarsText));
    EXPECT_EQ(SceneImage::compare(shifted, reference->bars, boxes), "");
    // Ink moved by more than the tolerance is reported.
    RawImage moved = reference->bars;
    for (int32_t y = label.top; y < label.bottom; ++y) {
        moved.pixels[size_t(y) * 570 + size_t(label.left)] = 0xFFFFFFFFu;
    }
    EXPECT_NE(SceneImage::compare(moved, reference->bars, boxes).find("text in"),
              std::string::npos);
}

TEST_F(ReferenceTest, PicturesSurviveTheFile) {
    ScratchDir scratch;
    const std::string path = scratch.file("reference.raw");
    ASSERT_TRUE(reference->bars.write(path));
    RawImage back;
    ASSERT_TRUE(back.read(path));
    EXPECT_EQ(back.width, 570);
    EXPECT_EQ(back.height, 180);
    EXPECT_EQ(back.pixels, reference->bars.pixels);
    // A file cut after its header is refused.
    std::FILE* cut = std::fopen(path.c_str(), "wb");
    ASSERT_NE(cut, nullptr);
    const unsigned char header[8] = {0x3A, 2, 0, 0, 0xB4, 0, 0, 0};
    std::fwrite(header, 1, sizeof(header), cut);
    std::fclose(cut);
    EXPECT_FALSE(back.read(path));
}
