#include <gtest/gtest.h>

#include "PresentCounter.h"
#include "ProbeWind.h"
#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "toolkit/GdiObject.h"
#include "toolkit/MemoryDC.h"
#include "windows/SpecialWind.h"

namespace {

ImagePtr LoadSkin()
{
    return WindManager::Instance()->LoadPngResource(IMAGE_SKIN, L"PNG");
}

// What the screen shows over a window, read back through the desktop's DC.
Pixels ScreenOver(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    MemoryDC copy;
    copy.Create(screen);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top));
    copy.Select(bitmap.Get());
    BitBlt(copy.Get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return ReadBitmap(copy.Get(), bitmap.Get());
}

// Paints part of a window's surface, as a button does, and says so.
void Paint(ProbeWind& wind, const RECT& area, Gdiplus::ARGB colour)
{
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    wind.GetSurface().Graphics()->FillRectangle(&brush, static_cast<INT>(area.left), static_cast<INT>(area.top),
        static_cast<INT>(area.right - area.left), static_cast<INT>(area.bottom - area.top));
    wind.GetSurface().Changed(area);
}

} // namespace

TEST(SpecialWind, CentringDropsEachRemainderAndMayGoNegative)
{
    POINT origin = SpecialWind::CentredOrigin(1365, 705, 1186, 954);
    EXPECT_EQ(origin.x, 89);
    EXPECT_EQ(origin.y, -125);
    origin = SpecialWind::CentredOrigin(1366, 779, 1366, 779);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

TEST(SpecialWind, NullSkinCreatesNothing)
{
    ProbeWind wind;
    EXPECT_EQ(wind.GetHandle(), nullptr);
    EXPECT_FALSE(wind.CreateWithSkin(nullptr, nullptr));
    EXPECT_EQ(wind.GetHandle(), nullptr);
    EXPECT_EQ(wind.GetSurface().Graphics(), nullptr);
}

TEST(SpecialWind, SkinWindowIsCentredLayeredAndHoldsTheSkin)
{
    ProbeWind wind(LoadSkin());
    HWND window = wind.GetHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_NE(wind.GetSurface().Graphics(), nullptr);

    POINT origin = SpecialWind::CentredOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
        1186, 954);
    EXPECT_TRUE(SameRect(wind.Rect(), RECT{origin.x, origin.y, origin.x + 1186, origin.y + 954}));
    RECT screen;
    GetWindowRect(window, &screen);
    EXPECT_TRUE(SameRect(screen, wind.Rect()));

    // The surface holds the skin: see-through hole, opaque row above it and opaque frame.
    Pixels pixels = wind.Surface();
    ASSERT_EQ(pixels.width, 1186);
    ASSERT_EQ(pixels.height, 954);
    for (int x : {477, 760, 1050}) {
        EXPECT_EQ(Pixels::Alpha(pixels.At(x, 450)), 0) << x;
        EXPECT_EQ(Pixels::Alpha(pixels.At(x, 734)), 0) << x;
        EXPECT_EQ(Pixels::Alpha(pixels.At(x, 449)), 255) << x;
    }
    EXPECT_EQ(Pixels::Alpha(pixels.At(476, 600)), 255);
    EXPECT_EQ(Pixels::Alpha(pixels.At(1051, 600)), 255);
    EXPECT_EQ(Pixels::Alpha(pixels.At(760, 735)), 255);

    // Every pixel as GDI+ premultiplies the skin.
    std::vector<uint32_t> skin = PremultipliedPixels(LoadSkin().get());
    ASSERT_EQ(skin.size(), pixels.data.size());
    int differing = 0;
    for (size_t i = 0; i < skin.size(); ++i)
        differing += skin[i] != pixels.data[i];
    EXPECT_EQ(differing, 0);
}

TEST(SpecialWind, SecondCreateIsRefusedAndChangesNothing)
{
    ProbeWind wind(LoadSkin());
    HWND window = wind.GetHandle();
    RECT before = wind.Rect();
    Gdiplus::Graphics* graphics = wind.GetSurface().Graphics();
    EXPECT_FALSE(wind.CreateWithSkin(LoadSkin(), nullptr));
    EXPECT_FALSE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    EXPECT_EQ(wind.GetHandle(), window);
    EXPECT_TRUE(SameRect(wind.Rect(), before));
    EXPECT_EQ(wind.GetSurface().Graphics(), graphics);
}

TEST(SpecialWind, ColourKeyWindowHasKeyAndNoSurface)
{
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    EXPECT_EQ(wind.GetSurface().Graphics(), nullptr);
    EXPECT_EQ(wind.Width(), 300);
    EXPECT_EQ(wind.Height(), 200);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(wind.GetHandle(), &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

TEST(SpecialWind, SizeAndTrackingLimitsFollowTheWindow)
{
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    RECT before = wind.Rect();
    wind.HandleMessage(wind.GetHandle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(1202, 500));
    EXPECT_EQ(wind.Rect().left, before.left);
    EXPECT_EQ(wind.Rect().right, before.left + 1202);
    EXPECT_EQ(wind.Rect().bottom, before.top + 500);

    // Minimised, the window keeps its size.
    wind.HandleMessage(wind.GetHandle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(wind.Rect().right, before.left + 1202);

    // Maximised, it fills the work area of its monitor.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(wind.GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor);
    MINMAXINFO info = {};
    EXPECT_EQ(wind.HandleMessage(wind.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMaxPosition.x, monitor.rcWork.left - monitor.rcMonitor.left);
    EXPECT_EQ(info.ptMaxPosition.y, monitor.rcWork.top - monitor.rcMonitor.top);
    EXPECT_EQ(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_EQ(info.ptMaxSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
    EXPECT_EQ(info.ptMinTrackSize.x, 1202);
    EXPECT_EQ(info.ptMinTrackSize.y, 500);
}

TEST(SpecialWind, RestoreReturnsToTheRectangleBeforeMaximising)
{
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(400, 300, RGB(255, 0, 255), nullptr));
    HWND window = wind.GetHandle();
    ShowWindow(window, SW_SHOWNORMAL);
    // A drag moves the window without the object knowing.
    MoveWindow(window, 123, 77, 400, 300, TRUE);
    PumpMessages();

    wind.SetMaximized(false);
    EXPECT_FALSE(wind.IsMaximized());

    wind.SetMaximized(true);
    PumpMessages();
    EXPECT_TRUE(wind.IsMaximized());
    EXPECT_TRUE(SameRect(wind.Restore(), RECT{123, 77, 523, 377}));
    EXPECT_EQ(wind.Rect().left, 0);
    EXPECT_EQ(wind.Rect().top, 0);

    // Maximising again keeps the remembered rectangle.
    wind.SetMaximized(true);
    EXPECT_TRUE(SameRect(wind.Restore(), RECT{123, 77, 523, 377}));

    wind.SetMaximized(false);
    PumpMessages();
    EXPECT_FALSE(wind.IsMaximized());
    RECT screen;
    GetWindowRect(window, &screen);
    EXPECT_TRUE(SameRect(screen, RECT{123, 77, 523, 377}));
    EXPECT_TRUE(SameRect(wind.Rect(), RECT{123, 77, 523, 377}));
}

TEST(SpecialWind, DestroyPostsQuitZero)
{
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(100, 100, RGB(255, 0, 255), nullptr));
    DestroyWindow(wind.GetHandle());
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST(SpecialWind, SkinnedWindowsComeAndGoWithoutGrowth)
{
    // A surface or skin left behind is over 4 MB a window.
    auto cycle = [] {
        ProbeWind wind(LoadSkin());
        ASSERT_NE(wind.GetHandle(), nullptr);
    };
    for (int i = 0; i < 3; ++i)
        cycle();
    SIZE_T before = ResidentBytes();
    for (int i = 0; i < 15; ++i)
        cycle();
    SIZE_T after = ResidentBytes();
    EXPECT_LT(after, before + 4 * 1024 * 1024) << before << " -> " << after;
}

TEST(SpecialWind, PresentingTheChangesShowsWhatAWholePresentShows)
{
    PresentCounter counter;
    WindManager* manager = WindManager::Instance();
    ASSERT_TRUE(counter.Forwards());
    ASSERT_TRUE(manager->HasUpdateLayeredIndirect());
    ProbeWind wind(LoadSkin());
    ASSERT_NE(wind.GetSurface().Graphics(), nullptr);
    HWND window = wind.GetHandle();
    // What a window showed while hidden is not kept for a partial update once it is shown
    // (seen under Wine): the first present after showing is whole.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    counter.TakeWhole();
    Paint(wind, RECT{542, 405, 622, 442}, 0xFF10A040);
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.TakeWhole(), 1);
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.TakeWhole(), 0);
    EXPECT_TRUE(counter.TakeDirty().empty());

    // Two changes far apart go in one present of the rectangle around both.
    Paint(wind, RECT{542, 405, 622, 442}, 0xFF2040C0);
    Paint(wind, RECT{1014, 364, 1036, 386}, 0xFF2040C0);
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.TakeWhole(), 0);
    std::vector<RECT> dirty = counter.TakeDirty();
    ASSERT_EQ(dirty.size(), 1u);
    EXPECT_TRUE(SameRect(dirty[0], RECT{542, 364, 1036, 442}));
    Pixels partly = ScreenOver(window);
    EXPECT_EQ(partly.At(560, 420) & 0xFFFFFF, 0x2040C0u);
    wind.GetSurface().Present();
    EXPECT_TRUE(partly.data == ScreenOver(window).data);

    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    counter.TakeWhole();
    Paint(wind, RECT{600, 500, 700, 600}, 0xFF10A040);
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.TakeWhole(), 1);
    EXPECT_TRUE(counter.TakeDirty().empty());

    // Without the system's partial update, the whole surface goes, and the screen is the same.
    manager->SetUpdateLayeredIndirectEntryPoint(nullptr);
    Paint(wind, RECT{600, 500, 700, 600}, 0xFFC02040);
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.TakeWhole(), 1);
    EXPECT_TRUE(counter.TakeDirty().empty());
    Pixels whole = ScreenOver(window);
    EXPECT_EQ(whole.At(650, 550) & 0xFFFFFF, 0xC02040u);
    wind.GetSurface().Present();
    EXPECT_TRUE(whole.data == ScreenOver(window).data);
}
