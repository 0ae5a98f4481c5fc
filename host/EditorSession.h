// The plug-in's window as a host shows it, in a headless parent window that
// this session owns: opened through effEditOpen, idled every 10 ms of audio
// on a clock that follows the audio time, and pictured at a chosen moment.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/ClockListener.h"
#include "platform/headless/HeadlessWindow.h"

class PluginHost;

class EditorSession : public ClockListener {
public:
    static constexpr int64_t kIdlesPerSecond = 100;
    // The View menu's rectangle (20, 3, 55, 17) and its "Logarithmic" entry.
    static constexpr int32_t kViewMenuX = 37;
    static constexpr int32_t kViewMenuY = 10;
    static constexpr int32_t kLogarithmicEntry = 3;

    // The host must be open and outlive the session. `scale` (percent) is
    // the content scale the session asks the editor for, as a host does on a
    // high-density screen.
    EditorSession(PluginHost& host, double sampleRate, int32_t scale = 100);
    ~EditorSession() override;

    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Sets the clock to 0 and opens the editor in the parent window.
    bool open(std::string& error);
    // Switches the axis the way a user does: a click on the View menu,
    // "Logarithmic" chosen in the popup.
    bool chooseLogarithmic(std::string& error);
    // The picture is taken at the first idle at or after `seconds` of audio,
    // or at the end of the input when it ends sooner. Negative: at the end.
    void takePictureAt(double seconds) { pictureSeconds = seconds; }

    int64_t nextTickSample() const override;
    // Idles the editor with the clock at the audio time.
    bool tick(int64_t samplesFed, std::string& error) override;
    // A last idle at the end, unless one just ran; the picture, if still due.
    // Fails when the picture was asked for a moment past the end.
    bool finish(int64_t samplesFed, std::string& error) override;

    bool hasPicture() const { return !picture.empty(); }
    // Audio time of the picture, in seconds.
    double pictureTime() const { return pictureTaken; }
    int32_t pictureWidth() const { return window.width(); }
    int32_t pictureHeight() const { return window.height(); }
    // Writes the picture as PNG to a stream the caller owns, named by software.
    bool writePicture(std::FILE* stream, const std::string& software, std::string& error) const;

    HeadlessWindow& parentWindow() { return window; }

private:
    int64_t sampleOfIdle(int64_t idle) const;
    void idleAt(uint32_t milliseconds, int64_t samplesFed);
    void keepPicture(int64_t samplesFed);

    PluginHost& host;
    double rate;
    int32_t scale;
    HeadlessWindow window;
    int64_t nextIdle = 0;
    int64_t lastIdleSample = -1;
    double pictureSeconds = -1.0;
    double pictureTaken = 0.0;
    std::vector<uint32_t> picture;
};
