// Every Xlib header the layer uses, in one place. Xlib defines `Status` as
// a macro, which would turn platform::Status into nonsense; the macro is
// dropped once the headers have been read, and Xlib's own status results
// are plain ints here.
#pragma once

#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#undef Status
