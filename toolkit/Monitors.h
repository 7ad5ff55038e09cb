// Which monitor a window or a rectangle is on, and where windows go on it.
#pragma once

#include <windows.h>

typedef HMONITOR(WINAPI* MonitorFromWindowProc)(HWND, DWORD);
typedef HMONITOR(WINAPI* MonitorFromRectProc)(LPCRECT, DWORD);
typedef BOOL(WINAPI* GetMonitorInfoProc)(HMONITOR, LPMONITORINFO);

// Which monitor a window or a rectangle is on, and the part of it that windows get.
class Monitors {
public:
    // The monitor nearest to a window, or to a rectangle of the screen.
    static HMONITOR OfWindow(HWND window);
    static HMONITOR OfRect(const RECT& rect);
    static HMONITOR Primary();
    // A monitor's rectangle and work area; the primary monitor's when that monitor is gone.
    static MONITORINFO Info(HMONITOR monitor);
    static RECT WorkArea(HMONITOR monitor) { return Info(monitor).rcWork; }
    // A monitor's work area relative to the monitor's own top-left corner, where a window
    // maximised on it goes.
    static RECT WorkAreaInMonitor(HMONITOR monitor);
    // A rectangle of the screen in workspace coordinates, where a minimised window's restored
    // place is kept: moved by the room the toolbars of its monitor take at its left and top.
    static RECT ToWorkspace(const RECT& rect);

    // Tests lay out monitors that the display does not have through these.
    struct EntryPoints {
        MonitorFromWindowProc fromWindow;
        MonitorFromRectProc fromRect;
        GetMonitorInfoProc info;
    };
    static EntryPoints GetEntryPoints();
    static void SetEntryPoints(const EntryPoints& entryPoints);
};
