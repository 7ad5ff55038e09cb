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

    // Tests lay out monitors that the display does not have through these.
    struct EntryPoints {
        MonitorFromWindowProc fromWindow;
        MonitorFromRectProc fromRect;
        GetMonitorInfoProc info;
    };
    static EntryPoints GetEntryPoints();
    static void SetEntryPoints(const EntryPoints& entryPoints);
};
