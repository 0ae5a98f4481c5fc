// Reading the editor's pictures: lit bar segments, the ink of text boxes,
// and the comparison of a Windows picture with its headless reference.
#pragma once

#include <string>
#include <vector>

#include "EditorScenes.h"
#include "RawImage.h"

class SceneImage {
public:
    // Green rows in the middle column of band `band`'s bar.
    static int32_t litSegments(const RawImage& image, int32_t band);

    // The bounding box of the ink inside `box`; empty (left == right) when
    // there is none.
    static EditorScenes::Box inkBounds(const RawImage& image, const EditorScenes::Box& box);

    // Empty when `actual` matches `reference`: every pixel outside the text
    // boxes equal, and in each box the ink's bounds within the tolerance.
    // Otherwise one line per kind of difference.
    static std::string compare(const RawImage& actual, const RawImage& reference,
                               const std::vector<EditorScenes::Box>& textBoxes);
};
