#include <gtest/gtest.h>

#include "ProbeGame.h"
#include "TestSupport.h"
#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"

namespace {

// The display's monitor split in two while this lives: the primary monitor at 100 % on its left
// third, and a second, larger one at 150 % on the rest. Windows stay on the display, where the
// system keeps them, and the monitor and DPI look-ups answer for the two.
class SecondMonitor {
public:
    SecondMonitor()
        : savedMonitors(Monitors::GetEntryPoints())
        , savedDpi(Dpi::GetEntryPoints())
    {
        MONITORINFO display = Monitors::Info(Monitors::Primary());
        LONG split = display.rcMonitor.right / 3;
        primaryArea = display.rcMonitor;
        primaryArea.right = split;
        primaryWork = display.rcWork;
        primaryWork.right = split;
        area = display.rcMonitor;
        area.left = split;
        work = display.rcWork;
        work.left = split;
        Monitors::SetEntryPoints({&FromWindow, &FromRect, &Info});
        Dpi::SetEntryPoints({&DpiForWindow, &DpiForMonitor, nullptr});
    }
    ~SecondMonitor()
    {
        Monitors::SetEntryPoints(savedMonitors);
        Dpi::SetEntryPoints(savedDpi);
    }

    static HMONITOR Handle() { return reinterpret_cast<HMONITOR>(static_cast<ULONG_PTR>(0x5EC0)); }
    static inline RECT area = {};
    static inline RECT work = {};
    static inline RECT primaryArea = {};
    static inline RECT primaryWork = {};

private:
    static HMONITOR WINAPI FromRect(LPCRECT rect, DWORD flags)
    {
        if ((rect->left + rect->right) / 2 >= area.left)
            return Handle();
        return MonitorFromRect(rect, flags);
    }
    // As documented, a minimised window is on the monitor of the place it is restored to.
    static HMONITOR WINAPI FromWindow(HWND window, DWORD flags)
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        RECT rect = {};
        if (IsIconic(window) && GetWindowPlacement(window, &placement))
            rect = placement.rcNormalPosition;
        else
            GetWindowRect(window, &rect);
        return FromRect(&rect, flags);
    }
    static BOOL WINAPI Info(HMONITOR monitor, LPMONITORINFO info)
    {
        bool second = monitor == Handle();
        info->rcMonitor = second ? area : primaryArea;
        info->rcWork = second ? work : primaryWork;
        info->dwFlags = second ? 0 : MONITORINFOF_PRIMARY;
        return TRUE;
    }
    static UINT WINAPI DpiForWindow(HWND) { return 0; }
    static HRESULT WINAPI DpiForMonitor(HMONITOR monitor, int, UINT* x, UINT* y)
    {
        *x = *y = monitor == Handle() ? 144 : 96;
        return S_OK;
    }

    Monitors::EntryPoints savedMonitors;
    Dpi::EntryPoints savedDpi;
};

RECT Below(const RECT& rect, int top)
{
    return RECT{rect.left, rect.top + top, rect.right, rect.bottom};
}

} // namespace

TEST(SeveralMonitors, TheGameWindowOpensOnItsMonitorAtItsScaleAndCoversTheWorkAreaOfTheOneItMovesTo)
{
    SecondMonitor second;
    ProbeGame game(L"http://s1.kolv.ops.test/login.php", SecondMonitor::Handle());
    ASSERT_TRUE(game.Create());
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::work));
    EXPECT_EQ(game.TitleBar(), 45);
    EXPECT_TRUE(SameRect(game.PageRect(), Below(SecondMonitor::work, 45)));

    // The system suggests the same window at 100 % on the primary monitor, two thirds its size.
    RECT work = SecondMonitor::work;
    RECT suggested = {0, 0, (work.right - work.left) * 2 / 3, (work.bottom - work.top) * 2 / 3};
    SendMessageW(game.GetHandle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::primaryWork));
    EXPECT_EQ(game.TitleBar(), 30);
    EXPECT_TRUE(SameRect(game.PageRect(), Below(SecondMonitor::primaryWork, 30)));
}

TEST(SeveralMonitors, AMaximisedWindowIsExactlyItsMonitorsWorkArea)
{
    SecondMonitor second;
    ProbeGame game(L"http://s1.kolv.ops.test/login.php", SecondMonitor::Handle());
    ASSERT_TRUE(game.Create());
    ShowWindow(game.GetHandle(), SW_SHOWNORMAL);
    // Larger than the primary monitor, the maximised size the window asked for is grown by the
    // difference between the monitors before it reaches the window.
    RECT work = SecondMonitor::work;
    RECT area = SecondMonitor::area;
    RECT primary = SecondMonitor::primaryArea;
    WINDOWPOS grown = {game.GetHandle(), nullptr, work.left, work.top,
        work.right - work.left + (area.right - area.left) - (primary.right - primary.left),
        work.bottom - work.top + (area.bottom - area.top) - (primary.bottom - primary.top), SWP_NOZORDER};
    WINDOWPOS normal = grown;
    SendMessageW(game.GetHandle(), WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&normal));
    EXPECT_EQ(normal.cx, grown.cx);

    ShowWindow(game.GetHandle(), SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(game.GetHandle()));
    SendMessageW(game.GetHandle(), WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&grown));
    EXPECT_TRUE(SameRect(RECT{grown.x, grown.y, grown.x + grown.cx, grown.y + grown.cy}, work));
}

TEST(SeveralMonitors, AChangeOfTheWorkAreaWhileMinimisedChangesWhereTheWindowIsRestored)
{
    SecondMonitor second;
    ProbeGame game(L"http://s1.kolv.ops.test/login.php", SecondMonitor::Handle());
    ASSERT_TRUE(game.Create());
    ShowWindow(game.GetHandle(), SW_SHOWNORMAL);
    ShowWindow(game.GetHandle(), SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(game.GetHandle()));
    RECT icon = game.Rect();

    // The second monitor gets a taskbar at its bottom. (At its top the workspace's origin would
    // move, which the system here does not know of: its monitors are not these.)
    SecondMonitor::work.bottom -= 40;
    SendMessageW(game.GetHandle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(SameRect(game.Rect(), icon));
    ShowWindow(game.GetHandle(), SW_RESTORE);
    PumpMessages();
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::work));
    EXPECT_TRUE(SameRect(game.PageRect(), Below(SecondMonitor::work, 45)));
}

TEST(SeveralMonitors, WorkspaceCoordinatesTakeTheToolbarsOfTheRectanglesOwnMonitor)
{
    SecondMonitor second;
    // A taskbar at the top of the second monitor only; the primary monitor's work area starts
    // at its corner.
    SecondMonitor::work.top += 40;
    SecondMonitor::primaryWork.left = SecondMonitor::primaryArea.left;
    SecondMonitor::primaryWork.top = SecondMonitor::primaryArea.top;
    RECT onSecond = SecondMonitor::work;
    RECT expected = onSecond;
    OffsetRect(&expected, 0, -40);
    EXPECT_TRUE(SameRect(Monitors::ToWorkspace(onSecond), expected));
    RECT onPrimary = {10, 20, 110, 120};
    EXPECT_TRUE(SameRect(Monitors::ToWorkspace(onPrimary), onPrimary));
}

TEST(SeveralMonitors, FullScreenStaysFullScreenOnItsMonitorThroughChangesOfScaleAndDisplay)
{
    SecondMonitor second;
    ProbeGame game(L"http://s1.kolv.ops.test/login.php", SecondMonitor::Handle());
    ASSERT_TRUE(game.Create());
    ShowWindow(game.GetHandle(), SW_SHOWNORMAL);
    SendMessageW(game.GetHandle(), WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::area));
    EXPECT_EQ(game.TitleBar(), 0);
    EXPECT_TRUE(SameRect(game.PageRect(), SecondMonitor::area));

    // Moved to the primary monitor at 100 %, then the display changes: full screen there.
    RECT suggested = {0, 0, 200, 100};
    SendMessageW(game.GetHandle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(game.GetHandle(), WM_DISPLAYCHANGE, 32, 0);
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::primaryArea));
    EXPECT_TRUE(SameRect(game.PageRect(), SecondMonitor::primaryArea));

    // F11 again: the work area of the monitor it is on now, with the title bar at its scale.
    SendMessageW(game.GetHandle(), WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(SameRect(game.Rect(), SecondMonitor::primaryWork));
    EXPECT_EQ(game.TitleBar(), 30);
    EXPECT_TRUE(SameRect(game.PageRect(), Below(SecondMonitor::primaryWork, 30)));
}
