// Draws the desktop program's icon at any size: a navy tile with rounded
// corners around a small black plot of green level bars, the editor's own
// colours. Pixels are 0xAARRGGBB; only the tile's corners are transparent.
#pragma once

#include <cstdint>
#include <vector>

class IconPainter {
public:
    static std::vector<uint32_t> icon(int32_t size);
};
