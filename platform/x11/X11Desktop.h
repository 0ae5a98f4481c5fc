// The scale the X11 desktop asks for: the Xft.dpi resource of the display's
// RESOURCE_MANAGER property (96 dpi is 1x) and the GDK_SCALE variable that
// GTK desktops set; the larger of the two, as either says the screen is
// dense.
#pragma once

#include "platform/platform.h"

class X11Desktop {
public:
    // From a resource string (as XResourceManagerString gives it) and the
    // value of GDK_SCALE, either of which may be null; 0 when neither says.
    static float scaleFrom(const char* resources, const char* gdkScale);
    // Of the display the editor opens on (DISPLAY); notFound when it says
    // nothing.
    static platform::Status scale(float* factor);
};
