// A window's full screen: the whole of its monitor, and the way back.
#pragma once

#include <windows.h>

// Remembers how the window was before it covered its monitor.
class FullScreen {
public:
    FullScreen();

    bool IsOn() const { return on; }
    // Remembers how the window is (its normal rectangle, whether it is maximised or covers its
    // monitor's work area) and answers where it goes: the whole monitor.
    RECT Enter(HMONITOR monitor, const RECT& normalRect, bool maximized, bool coversWorkArea);
    // Answers where the window goes back to on the monitor it is on now, and whether maximised.
    RECT Leave(HMONITOR monitor, bool& maximized);

    // A monitor's whole rectangle, the taskbar's place included.
    static RECT Area(HMONITOR monitor);

private:
    bool on;
    bool wasMaximized;
    bool coveredWorkArea;
    RECT normalRect;
    HMONITOR monitor;
};
