// A window's full screen and the way back.
#include "windows/FullScreen.h"

#include "toolkit/Monitors.h"

FullScreen::FullScreen() : on(false), wasMaximized(false), coveredWorkArea(false), normalRect{}, monitor(nullptr)
{
}

RECT FullScreen::Enter(HMONITOR onMonitor, const RECT& normal, bool maximized, bool coversWorkArea)
{
    on = true;
    monitor = onMonitor;
    normalRect = normal;
    wasMaximized = maximized;
    coveredWorkArea = coversWorkArea;
    return Area(monitor);
}

RECT FullScreen::Leave(HMONITOR onMonitor, bool& maximized)
{
    on = false;
    maximized = wasMaximized;
    // Moved to another monitor meanwhile (a change of display or of scale), its old rectangle
    // belongs to a monitor it is no longer on: it covers the work area of the one it is on.
    if (coveredWorkArea || onMonitor != monitor)
        return Monitors::WorkArea(onMonitor);
    return normalRect;
}

RECT FullScreen::Area(HMONITOR onMonitor)
{
    return Monitors::Info(onMonitor).rcMonitor;
}
