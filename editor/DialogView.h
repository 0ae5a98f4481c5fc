// A full-window panel that takes the place of the spectrum display: a
// container over its background bitmap, built by open and put into the
// frame by the editor's showPanel.
#pragma once

#include <cstdint>

class CControl;
class CDrawContext;
class CViewContainer;
class tq_spectrumEditor;

class DialogView {
public:
    DialogView(tq_spectrumEditor* editor, int32_t bitmapId);
    // Releases the container, and with it the panel's controls. The editor
    // takes it out of the frame first.
    virtual ~DialogView();
    DialogView(const DialogView&) = delete;
    DialogView& operator=(const DialogView&) = delete;

    // Builds the container once (not added to the frame); always true.
    virtual bool open();
    // Gives up the container: out of its parent, released, forgotten.
    virtual void close();
    virtual void idle() {}
    virtual void setParameter(int32_t, float) {}
    virtual void valueChanged(CDrawContext*, CControl*) {}

    CViewContainer* view = nullptr;
    tq_spectrumEditor* editor;
    int32_t bitmapId;
    // Redraw mode of the container; 0 draws the whole panel when anything
    // in it is dirty.
    int32_t updateMode = 0;
};
