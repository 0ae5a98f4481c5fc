// X errors of our own display connections. Xlib has one error handler per
// process, and its default one ends the process; ours takes the errors of
// the connections we watch and hands every other one to the handler that
// was there before. The handler is installed while at least one connection
// is watched, so that a host can unload the library afterwards.
//
// A window of ours that has gone (the host destroyed its parent, or we are
// tearing it down) makes BadWindow and BadDrawable errors naming it; those
// are expected and dropped. Any other error on our connections is counted
// and written to stderr once per connection and error code, never fatal.
#pragma once

#include <cstdint>

#include "platform/x11/XlibHeaders.h"

class X11ErrorTrap {
public:
    // Starts and stops routing the errors of `display` here.
    static void watch(Display* display);
    static void unwatch(Display* display);

    // Errors naming `window` that say it has gone are expected from now on.
    static void expectGone(Display* display, XID window);
    // While quiet, every error of the display is counted, none reported.
    static void setQuiet(Display* display, bool quiet);
    // Errors of the display so far, expected ones included.
    static int32_t errorCount(Display* display);

private:
    static int handle(Display* display, XErrorEvent* error);
};
