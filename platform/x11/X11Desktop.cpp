#include "platform/x11/X11Desktop.h"

#include <X11/Xresource.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/x11/XlibHeaders.h"

namespace {

constexpr double kBaseDpi = 96.0;

// A positive finite number and nothing else; 0 otherwise.
double positiveNumber(const char* text) {
    if (!text || !*text) {
        return 0.0;
    }
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    while (end && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (errno != 0 || !end || *end != '\0' || !std::isfinite(v) || v <= 0.0) {
        return 0.0;
    }
    return v;
}

double xftDpi(const char* resources) {
    if (!resources || !*resources) {
        return 0.0;
    }
    static std::once_flag once;
    std::call_once(once, [] { XrmInitialize(); });
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) {
        return 0.0;
    }
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0.0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr && type &&
        std::strcmp(type, "String") == 0) {
        dpi = positiveNumber(value.addr);
    }
    XrmDestroyDatabase(database);
    return dpi;
}

} // namespace

float X11Desktop::scaleFrom(const char* resources, const char* gdkScale) {
    const double fromDpi = xftDpi(resources) / kBaseDpi;
    // GTK takes whole numbers only.
    const double gdk = positiveNumber(gdkScale);
    const double fromGdk = gdk == std::floor(gdk) ? gdk : 0.0;
    return float(fromDpi > fromGdk ? fromDpi : fromGdk);
}

platform::Status X11Desktop::scale(float* factor) {
    if (!factor) {
        return platform::Status::invalidArgument;
    }
    // Before the process's first connection, as the windows' own does:
    // hosts ask from threads of their choosing.
    static std::once_flag threads;
    std::call_once(threads, [] { XInitThreads(); });
    // A connection of our own, just for this: it reads the resources as
    // they are now.
    Display* display = XOpenDisplay(nullptr);
    const float found =
        scaleFrom(display ? XResourceManagerString(display) : nullptr, std::getenv("GDK_SCALE"));
    if (display) {
        XCloseDisplay(display);
    }
    if (!(found > 0.0f)) {
        return platform::Status::notFound;
    }
    *factor = found;
    return platform::Status::ok;
}
