// The library's load hook on Windows: the module handle is what the
// toolkit registers its window class with and loads its bitmaps from.
#include <windows.h>

#include "platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Stored for every reason: attach, detach and the thread notifications
    // all carry the same handle.
    (void)reason;
    (void)reserved;
    platform::setModuleHandle(instance);
    return TRUE;
}
