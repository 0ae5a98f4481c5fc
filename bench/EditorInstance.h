#pragma once

#include "bench/PluginInstance.h"
#include "platform/headless/HeadlessWindow.h"

#include <cstdint>

class tq_spectrumCore;
class tq_spectrumEditor;

// The plug-in with its editor open in a headless parent window, driven as a
// host drives it: effEditOpen, then effEditIdle on the fake tick clock.
class EditorInstance {
public:
    EditorInstance();
    ~EditorInstance();
    EditorInstance(const EditorInstance&) = delete;
    EditorInstance& operator=(const EditorInstance&) = delete;

    AEffect* effect() const { return plugin.effect(); }
    tq_spectrumEditor* editor() const;
    tq_spectrumCore* core() const;
    HeadlessWindow& parent() { return window; }

    bool open();
    void close();
    void idle();
    // Moves the clock just past the refresh interval and idles: exactly one
    // decay step and its redraw.
    void idleForDecayStep();
    // Marks the whole frame for drawing and idles, with no step due.
    void idleForFullRedraw();

private:
    PluginInstance plugin;
    HeadlessWindow window;
};
