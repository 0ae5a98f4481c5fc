// Resource ids of the editor's bitmaps.
#pragma once

#include <cstdint>

namespace bitmapIds {

constexpr int32_t kBackground = 10001;      // 570 x 180
constexpr int32_t kAbout = 10002;           // 570 x 180
constexpr int32_t kSuspended = 10003;       // 570 x 180, the background dimmed
constexpr int32_t kOkButton = 10004;        // 60 x 28, released above pressed
constexpr int32_t kBarLit = 10005;          // 3 x 100
constexpr int32_t kBarUnlit = 10006;        // 3 x 100
constexpr int32_t kLabelBackground = 10007; // 41 x 12

// The same bitmap drawn for a scale (percent): 1x keeps the ids above, 1.5x
// adds 1000 (11001 to 11007), 2x adds 2000 (12001 to 12007).
constexpr int32_t atScale(int32_t id, int32_t scale) {
    return scale == 150 ? id + 1000 : scale == 200 ? id + 2000 : id;
}

} // namespace bitmapIds
