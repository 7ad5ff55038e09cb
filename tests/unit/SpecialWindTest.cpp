#include <gtest/gtest.h>

#include "ProbeWind.h"
#include "TestSupport.h"
#include "windows/SpecialWind.h"

namespace {

ImagePtr LoadSkin()
{
    return WindManager::Instance()->LoadPngResource(101, L"PNG");
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
    EXPECT_EQ(wind.GetSurfaceGraphics(), nullptr);
}

TEST(SpecialWind, SkinWindowIsCentredLayeredAndHoldsTheSkin)
{
    ProbeWind wind(LoadSkin());
    HWND window = wind.GetHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_NE(wind.GetSurfaceGraphics(), nullptr);

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
}

TEST(SpecialWind, SecondCreateIsRefusedAndChangesNothing)
{
    ProbeWind wind(LoadSkin());
    HWND window = wind.GetHandle();
    RECT before = wind.Rect();
    Gdiplus::Graphics* graphics = wind.GetSurfaceGraphics();
    EXPECT_FALSE(wind.CreateWithSkin(LoadSkin(), nullptr));
    EXPECT_FALSE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    EXPECT_EQ(wind.GetHandle(), window);
    EXPECT_TRUE(SameRect(wind.Rect(), before));
    EXPECT_EQ(wind.GetSurfaceGraphics(), graphics);
}

TEST(SpecialWind, ColourKeyWindowHasKeyAndNoSurface)
{
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    EXPECT_EQ(wind.GetSurfaceGraphics(), nullptr);
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

    MINMAXINFO info = {};
    info.ptMaxSize.x = 4321;
    EXPECT_EQ(wind.HandleMessage(wind.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMaxSize.x, 4321);
    EXPECT_EQ(info.ptMaxSize.y, GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION));
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
