#include "X11Fixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <fontconfig/fontconfig.h>

void X11Fixture::SetUp() {
    // Desktop hosts have fontconfig loaded for themselves, so unloading the
    // plug-in never unloads it (and its caches, which live as long as the
    // library does). The test host does the same.
    ASSERT_GT(FcGetVersion(), 0);
    if (!screen.usable()) {
        GTEST_SKIP() << "no X display with the XTest extension";
    }
    library = std::make_unique<PluginLibrary>(TQ_PLUGIN_PATH);
    ASSERT_TRUE(library->loaded()) << library->error();
    entry = library->entry("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
}

size_t countDifferences(const std::vector<uint32_t>& picture, const std::vector<uint32_t>& expected,
                        int32_t width, int32_t top, int32_t bottom) {
    size_t differ = 0;
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            if (i >= picture.size() || i >= expected.size() ||
                (picture[i] & 0xFFFFFFu) != (expected[i] & 0xFFFFFFu)) {
                ++differ;
            }
        }
    }
    return differ;
}

std::string X11Fixture::settle(Window window, const std::vector<uint32_t>& expected, int32_t waitMs,
                               int32_t width, int32_t height) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    TestDisplay::Picture shown;
    for (;;) {
        shown = screen.read(window);
        if (shown.width == width && shown.height == height &&
            countDifferences(shown.pixels, expected, width, 0, height) == 0) {
            return std::string();
        }
        if (std::chrono::steady_clock::now() > end) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // TQ_X11_DUMP=file.ppm keeps the last mismatch: shown above, expected below.
    const char* dump = std::getenv("TQ_X11_DUMP");
    if (std::FILE* f = dump ? std::fopen(dump, "wb") : nullptr) {
        std::fprintf(f, "P6 %d %d 255\n", int(shown.width), int(shown.height * 2));
        for (const std::vector<uint32_t>& picture : {shown.pixels, expected}) {
            for (uint32_t p : picture) {
                const unsigned char rgb[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
                std::fwrite(rgb, 1, 3, f);
            }
        }
        std::fclose(f);
    }
    std::ostringstream out;
    if (shown.width != width || shown.height != height) {
        out << "window is " << shown.width << " x " << shown.height;
        return out.str();
    }
    out << countDifferences(shown.pixels, expected, width, 0, height) << " pixels differ";
    for (size_t i = 0; i < shown.pixels.size(); ++i) {
        if ((shown.pixels[i] & 0xFFFFFFu) != expected[i]) {
            out << ", first at (" << i % size_t(width) << ", " << i / size_t(width) << "): 0x"
                << std::hex << (shown.pixels[i] & 0xFFFFFFu) << " instead of 0x" << expected[i];
            break;
        }
    }
    return out.str();
}
