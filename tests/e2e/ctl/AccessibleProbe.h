#pragma once

#include <windows.h>

// What a screen reader finds on a window through the system's accessibility interface.
class AccessibleProbe {
public:
    // Prints the client area and each of its children, one record each (id, name, role, state,
    // location, default action); with a name, then does that child's default action. The exit
    // code: 0, or 3 when the window has no accessible object or no child of that name.
    static int Print(HWND window, const wchar_t* press);
};
