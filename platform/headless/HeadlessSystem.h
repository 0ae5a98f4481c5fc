// The process-wide side of the headless layer: a fake tick clock that only
// moves when told (sleep moves it too), the URLs the product asked to open,
// the OLE initialisation depth, the module handle and the desktop's scale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class HeadlessSystem {
public:
    static uint32_t ticks();
    static void setTicks(uint32_t milliseconds);
    static void advanceTicks(uint32_t milliseconds);

    static void recordUrl(const char* url);
    static const std::vector<std::string>& openedUrls();

    static void oleEnter();
    static void oleLeave();
    static int32_t oleDepth();

    static void setModule(void* handle);
    static void* module();

    // What desktopScale answers; 0 (the start): the desktop says nothing.
    static void setDesktopScale(float factor);
    static float desktopScale();

    // Clock to 0, no URLs, OLE depth 0, no desktop scale.
    static void reset();
};
