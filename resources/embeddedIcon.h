// The desktop program's window icon, drawn by the artwork program at build
// time: icons back to back, each its width, its height and width * height
// 0xAARRGGBB pixels, top row first.
#pragma once

#include <cstddef>
#include <cstdint>

extern const uint32_t kWindowIcon[];
extern const size_t kWindowIconLength;
