// Looks monitors up through replaceable entry points.
#include "toolkit/Monitors.h"

namespace {

Monitors::EntryPoints& Current()
{
    static Monitors::EntryPoints entryPoints = {&MonitorFromWindow, &MonitorFromRect, &GetMonitorInfoW};
    return entryPoints;
}

} // namespace

HMONITOR Monitors::OfWindow(HWND window)
{
    return Current().fromWindow(window, MONITOR_DEFAULTTONEAREST);
}

HMONITOR Monitors::OfRect(const RECT& rect)
{
    return Current().fromRect(&rect, MONITOR_DEFAULTTONEAREST);
}

HMONITOR Monitors::Primary()
{
    // The primary monitor is the one whose top-left corner is the screen's origin.
    const RECT origin = {0, 0, 1, 1};
    return Current().fromRect(&origin, MONITOR_DEFAULTTOPRIMARY);
}

MONITORINFO Monitors::Info(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !Current().info(monitor, &info))
        Current().info(Primary(), &info);
    return info;
}

RECT Monitors::WorkAreaInMonitor(HMONITOR monitor)
{
    MONITORINFO info = Info(monitor);
    RECT work = info.rcWork;
    OffsetRect(&work, -info.rcMonitor.left, -info.rcMonitor.top);
    return work;
}

RECT Monitors::ToWorkspace(const RECT& rect)
{
    // The monitor's toolbars (the taskbar) at its left or top shift its workspace's origin.
    MONITORINFO info = Info(OfRect(rect));
    RECT moved = rect;
    OffsetRect(&moved, info.rcMonitor.left - info.rcWork.left, info.rcMonitor.top - info.rcWork.top);
    return moved;
}

Monitors::EntryPoints Monitors::GetEntryPoints()
{
    return Current();
}

void Monitors::SetEntryPoints(const EntryPoints& entryPoints)
{
    Current() = entryPoints;
}
