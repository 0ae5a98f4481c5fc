// The reference side of the Windows comparison: the plug-in, linked with the
// headless layer, plays the test signal and is driven through the editor
// scenes exactly as the Windows test drives the DLL under wine; each scene's
// picture is what the window shows then.
#pragma once

#include <string>

#include "RawImage.h"

class HeadlessReference {
public:
    // Runs the whole scenario; false when the plug-in or its editor would
    // not come up.
    bool run();

    // Writes the three scenes into `folder` under EditorScenes' file names.
    bool write(const std::string& folder) const;

    RawImage bars;
    RawImage about;
    RawImage suspended;
};
