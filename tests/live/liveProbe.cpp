// The other side of tq-spectrum-live in its test: a JACK client that plays
// a sine, and a look at the program's window from the X server.
//   live_probe feed CLIENT HERTZ      plays a quiet sine on CLIENT:out until
//                                     SIGTERM; prints "ready" once it runs
//   live_probe look STATE TITLE [PNG] waits up to 10 s for the window of
//                                     class tq-spectrum-live titled TITLE to
//                                     show STATE: "lit:HERTZ:RATE" (that band
//                                     up at that sample rate, far bands down)
//                                     "quiet" (every bar dark),
//                                     "labels-other:DIGEST" (axis labels
//                                     other than those of the digest) or
//                                     "suspended" (the
//                                     dimmed panel, bitmap 10003, exactly);
//                                     saves the picture as PNG when asked;
//                                     prints "labels DIGEST" of the axis
//   live_probe choose X ENTRY         clicks the menu at (X, 10) of the
//                                     window and entry ENTRY of its popup
//                                     ("View", "-", "Linear", "Logarithmic")
//   live_probe close                  asks the window to close, as the
//                                     window manager's close button does
// Exit status 0 when done, 1 with a message when not.
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include <jack/jack.h>
#include <png.h>

#include "platform/x11/X11MenuLayout.h"
#include "platform/x11/XlibHeaders.h"
#include "tests/x11/TestDisplay.h"

#include <X11/Xatom.h>

#include "analysis/SpectrumLayout.h"
#include "resources/bitmapIds.h"
#include "resources/embeddedResources.h"
#include "resources/PixelPack.h"

namespace {

// [SECTION] Feeding

constexpr float kAmplitude = 0.02f; // the band fills; distant bands stay dark

struct Sine {
    jack_port_t* port = nullptr;
    double phase = 0.0;
    double step = 0.0;
};

std::atomic<bool> stopFeeding{false};

void onSignal(int) {
    stopFeeding.store(true);
}

int playSine(jack_nframes_t frames, void* arg) {
    auto* sine = static_cast<Sine*>(arg);
    auto* out = static_cast<float*>(jack_port_get_buffer(sine->port, frames));
    for (jack_nframes_t i = 0; i < frames; ++i) {
        out[i] = kAmplitude * float(std::sin(sine->phase));
        sine->phase = std::fmod(sine->phase + sine->step, 2.0 * M_PI);
    }
    return 0;
}

void serverGone(void*) {
    stopFeeding.store(true);
}

int feed(const char* name, double hertz) {
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    jack_client_t* client = jack_client_open(name, JackNoStartServer, nullptr);
    if (!client) {
        std::fprintf(stderr, "live_probe: no JACK server to feed\n");
        return 1;
    }
    Sine sine;
    sine.port = jack_port_register(client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    sine.step = 2.0 * M_PI * hertz / double(jack_get_sample_rate(client));
    jack_set_process_callback(client, playSine, &sine);
    jack_on_shutdown(client, serverGone, nullptr);
    if (!sine.port || jack_activate(client) != 0) {
        std::fprintf(stderr, "live_probe: cannot play into JACK\n");
        jack_client_close(client);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (!stopFeeding.load()) {
        usleep(20000);
    }
    jack_client_close(client);
    return 0;
}

// [SECTION] Looking

constexpr const char* kClass = "tq-spectrum-live";
constexpr int32_t kWaitMs = 10000;

using Picture = TestDisplay::Picture;

std::string titleOf(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

// The labels under the plot, rows 143 to 154: FNV-1a of their pixels.
std::string labelDigest(const Picture& picture) {
    uint32_t digest = 2166136261u;
    for (int32_t y = 143; y < 155 && y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            digest = (digest ^ picture.rgb(x, y)) * 16777619u;
        }
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", unsigned(digest));
    return text;
}

// How high a bar is lit, 0..1: its topmost bright row in its middle column.
float barLevel(const Picture& picture, int32_t band) {
    const int32_t x = 45 + 5 * band;
    for (int32_t y = 36; y < 136; ++y) {
        if (((picture.rgb(x, y) >> 8) & 0xFF) > 96) {
            return float(136 - y) / 100.0f;
        }
    }
    return 0.0f;
}

std::vector<uint32_t> suspendedPanel() {
    const EmbeddedResource* bitmap = findEmbeddedResource(bitmapIds::kSuspended);
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    if (bitmap && PixelPack::readSize(bitmap->data, bitmap->size, &width, &height)) {
        pixels.resize(size_t(width) * size_t(height));
        PixelPack::decode(bitmap->data, bitmap->size, pixels.data(), pixels.size());
        for (uint32_t& p : pixels) {
            p &= 0xFFFFFFu;
        }
    }
    return pixels;
}

// Why the picture does not show the state yet; empty when it does.
std::string mismatch(const Picture& picture, const std::string& state) {
    if (picture.width != 570 || picture.height != 180) {
        return "the window is not the editor's 570 x 180";
    }
    if (state == "suspended") {
        const std::vector<uint32_t> panel = suspendedPanel();
        size_t differ = 0;
        for (size_t i = 0; i < panel.size() && i < picture.pixels.size(); ++i) {
            differ += panel[i] != (picture.pixels[i] & 0xFFFFFFu) ? 1 : 0;
        }
        return differ == 0 && !panel.empty()
                   ? ""
                   : std::to_string(differ) + " pixels differ from the suspended panel";
    }
    if (state.compare(0, 13, "labels-other:") == 0) {
        return labelDigest(picture) != state.substr(13) ? "" : "the labels have not changed";
    }
    if (state == "quiet") {
        for (int32_t band = 0; band < SpectrumLayout::kBandCount; ++band) {
            if (barLevel(picture, band) > 0.1f) {
                return "band " + std::to_string(band) + " is lit";
            }
        }
        // The dimmed panel has no bars either.
        return mismatch(picture, "suspended").empty() ? "the suspended panel is shown" : "";
    }
    if (state.compare(0, 4, "lit:") == 0) {
        // The band whose bins hold the sine's bin, on the linear axis.
        const size_t colon = state.find(':', 4);
        const double hertz = std::atof(state.c_str() + 4);
        const double rate = colon == std::string::npos ? 0.0 : std::atof(state.c_str() + colon + 1);
        if (!(rate > 0.0)) {
            return "no sample rate in " + state;
        }
        const double bin = hertz * SpectrumLayout::kFrameLength / rate;
        int32_t band = 0;
        while (band + 1 < SpectrumLayout::kBandCount &&
               SpectrumLayout::linearStartBin(band + 1) <= int32_t(bin)) {
            ++band;
        }
        const float level = barLevel(picture, band);
        std::string far;
        for (int32_t other = 0; other < SpectrumLayout::kBandCount; ++other) {
            if (std::abs(other - band) > 4 && barLevel(picture, other) > 0.1f) {
                far += " " + std::to_string(other);
            }
        }
        if (level < 0.4f || !far.empty()) {
            return "band " + std::to_string(band) + " is lit to " + std::to_string(level) +
                   (far.empty() ? "" : "; distant bands lit:" + far);
        }
        return "";
    }
    return "no such state: " + state;
}

bool savePng(const Picture& picture, const char* path) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : picture.pixels) {
        rgb.push_back(uint8_t(p >> 16));
        rgb.push_back(uint8_t(p >> 8));
        rgb.push_back(uint8_t(p));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

// The window carries what a desktop needs: the close button as a request,
// an icon, a fixed size.
std::string desktopFault(Display* display, Window window) {
    Atom* protocols = nullptr;
    int count = 0;
    bool closes = false;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        for (int i = 0; i < count; ++i) {
            closes = closes || protocols[i] == deleteWindow;
        }
        XFree(protocols);
    }
    if (!closes) {
        return "the window does not take WM_DELETE_WINDOW";
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool icon =
        XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 2,
                           False, XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
        data && items == 2 && format == 32 && reinterpret_cast<long*>(data)[0] == 16 && after > 0;
    XFree(data);
    return icon ? "" : "the window has no icon";
}

int look(const std::string& state, const std::string& title, const char* pngPath) {
    TestDisplay screen;
    Display* display = screen.connection();
    if (!display) {
        std::fprintf(stderr, "live_probe: no X display\n");
        return 1;
    }
    std::string why = "no window of class tq-spectrum-live";
    Picture picture;
    for (int32_t waited = 0; waited <= kWaitMs && !why.empty(); waited += 100) {
        if (waited > 0) {
            usleep(100000);
        }
        const Window window = screen.findTopLevel(kClass);
        if (!window) {
            continue;
        }
        why = desktopFault(display, window);
        if (why.empty() && titleOf(display, window) != title) {
            why = "the title is '" + titleOf(display, window) + "', not '" + title + "'";
        }
        if (why.empty()) {
            picture = screen.read(window);
            why = mismatch(picture, state);
        }
    }
    if (why.empty()) {
        std::printf("labels %s\n", labelDigest(picture).c_str());
    }
    if (why.empty() && pngPath && !savePng(picture, pngPath)) {
        why = std::string("cannot write ") + pngPath;
    }
    if (!why.empty()) {
        std::fprintf(stderr, "live_probe: %s\n", why.c_str());
        return 1;
    }
    return 0;
}

int choose(int32_t x, size_t entry) {
    // The menus' popups have four entries, the second a separator.
    const platform::MenuItem items[4] = {{"View", false, false},
                                         {"-", true, false},
                                         {"Linear", false, false},
                                         {"Logarithmic", false, false}};
    TestDisplay screen;
    const Window window = screen.connection() ? screen.findTopLevel(kClass) : 0;
    if (!window || entry >= 4 || items[entry].separator) {
        std::fprintf(stderr, "live_probe: no window or no such entry\n");
        return 1;
    }
    const TestDisplay::Geometry at = screen.geometry(window);
    screen.click(at.x + x, at.y + 10);
    const Window popup = screen.waitForPopup(5000);
    if (!popup) {
        std::fprintf(stderr, "live_probe: no popup menu\n");
        return 1;
    }
    const TestDisplay::Geometry menu = screen.geometry(popup);
    screen.click(menu.x + 30,
                 menu.y + X11MenuLayout::entryTop(items, entry) + X11MenuLayout::kEntryHeight / 2);
    if (!screen.waitForPopupGone(popup, 5000)) {
        std::fprintf(stderr, "live_probe: the popup menu stays\n");
        return 1;
    }
    return 0;
}

int close() {
    TestDisplay screen;
    Display* display = screen.connection();
    const Window window = display ? screen.findTopLevel(kClass) : 0;
    if (!window) {
        std::fprintf(stderr, "live_probe: no window to close\n");
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "feed" && argc == 4) {
        return feed(argv[2], std::atof(argv[3]));
    }
    if (command == "look" && (argc == 4 || argc == 5)) {
        return look(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    }
    if (command == "choose" && argc == 4) {
        return choose(std::atoi(argv[2]), size_t(std::atoi(argv[3])));
    }
    if (command == "close" && argc == 2) {
        return close();
    }
    std::fprintf(stderr, "usage: live_probe feed CLIENT HERTZ | look STATE TITLE [PNG] | "
                         "choose X ENTRY | close\n");
    return 2;
}
