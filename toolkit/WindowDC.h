// An owning holder for a window's DC.
#pragma once

#include <windows.h>

// The DC of a window for the length of a scope.
class WindowDC {
public:
    explicit WindowDC(HWND w) : window(w), dc(GetDC(w)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC()
    {
        if (dc)
            ReleaseDC(window, dc);
    }

    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};
