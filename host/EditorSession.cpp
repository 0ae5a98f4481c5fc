#include "host/EditorSession.h"

#include <cmath>
#include <cstdio>

#include "host/PluginHost.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/PngCodec.h"
#include "platform/platform.h"

namespace {

// Slack for moments given in decimal seconds: 0.07 s is 7 idles, not 8.
constexpr double kIdleSlack = 1e-6;

} // namespace

EditorSession::EditorSession(PluginHost& host, double sampleRate, int32_t windowScale)
    : host(host), rate(sampleRate), scale(windowScale) {}

EditorSession::~EditorSession() {
    // The child window lives in ours: close it while ours still exists.
    host.closeEditor();
}

bool EditorSession::open(std::string& error) {
    HeadlessSystem::setTicks(0);
    if (scale != 100) {
        host.setEditorScale(static_cast<float>(scale) / 100.0f);
    }
    if (!host.openEditor(window.handle(), error)) {
        return false;
    }
    if (!window.hasChild()) {
        host.closeEditor();
        error = "the plug-in's editor made no window";
        return false;
    }
    return true;
}

bool EditorSession::chooseLogarithmic(std::string& error) {
    const size_t popupsBefore = window.popups().size();
    window.scriptPopupChoice(kLogarithmicEntry);
    window.click(platform::scaledLength(kViewMenuX, scale),
                 platform::scaledLength(kViewMenuY, scale));
    const auto& popups = window.popups();
    if (popups.size() != popupsBefore + 1 || popups.back().answer != kLogarithmicEntry ||
        popups.back().entries.size() <= size_t(kLogarithmicEntry) ||
        popups.back().entries[kLogarithmicEntry].text != "Logarithmic") {
        error = "the editor's View menu did not offer \"Logarithmic\"";
        return false;
    }
    return true;
}

int64_t EditorSession::sampleOfIdle(int64_t idle) const {
    return static_cast<int64_t>(std::ceil(static_cast<double>(idle) * rate / kIdlesPerSecond));
}

int64_t EditorSession::nextTickSample() const {
    return sampleOfIdle(nextIdle);
}

bool EditorSession::tick(int64_t samplesFed, std::string&) {
    const uint32_t milliseconds = static_cast<uint32_t>(nextIdle * (1000 / kIdlesPerSecond));
    idleAt(milliseconds, samplesFed);
    if (pictureSeconds >= 0.0 && picture.empty() &&
        static_cast<double>(nextIdle) >= pictureSeconds * kIdlesPerSecond - kIdleSlack) {
        keepPicture(samplesFed);
    }
    ++nextIdle;
    return true;
}

bool EditorSession::finish(int64_t samplesFed, std::string& error) {
    if (samplesFed != lastIdleSample) {
        const double milliseconds = std::floor(static_cast<double>(samplesFed) * 1000.0 / rate);
        idleAt(static_cast<uint32_t>(milliseconds), samplesFed);
    }
    if (!picture.empty()) {
        return true;
    }
    const double end = static_cast<double>(samplesFed) / rate;
    if (pictureSeconds > end + kIdleSlack) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "cannot picture the window at %.3f s: the input ends at %.3f s",
                      pictureSeconds, end);
        error = text;
        return false;
    }
    keepPicture(samplesFed);
    return true;
}

void EditorSession::idleAt(uint32_t milliseconds, int64_t samplesFed) {
    HeadlessSystem::setTicks(milliseconds);
    host.idleEditor();
    lastIdleSample = samplesFed;
}

void EditorSession::keepPicture(int64_t samplesFed) {
    picture = window.pixels();
    pictureTaken = static_cast<double>(samplesFed) / rate;
}

bool EditorSession::writePicture(std::FILE* stream, const std::string& software,
                                 std::string& error) const {
    if (picture.empty() || PngCodec::write(stream, window.width(), window.height(), picture.data(),
                                           software) != platform::Status::ok) {
        error = "cannot write PNG file";
        return false;
    }
    return true;
}
