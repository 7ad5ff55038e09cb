#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "PresentCounter.h"
#include "ProbeGame.h"
#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "toolkit/Dpi.h"
#include "windows/LoginWind.h"

namespace {

// The look-ups go to stubs while it lives.
class StubbedDpi {
public:
    explicit StubbedDpi(const Dpi::EntryPoints& stubs)
        : saved(Dpi::GetEntryPoints())
    {
        Dpi::SetEntryPoints(stubs);
    }
    ~StubbedDpi() { Dpi::SetEntryPoints(saved); }

private:
    Dpi::EntryPoints saved;
};

// Every look-up answers one DPI while it lives, as on a monitor at that scale.
class ForcedDpi {
public:
    explicit ForcedDpi(int dpi)
        : stubs((forced = static_cast<UINT>(dpi), Dpi::EntryPoints{&ForWindow, &ForMonitor, nullptr}))
    {
    }

private:
    static UINT WINAPI ForWindow(HWND) { return forced; }
    static HRESULT WINAPI ForMonitor(HMONITOR, int, UINT* x, UINT* y)
    {
        *x = *y = forced;
        return S_OK;
    }
    static inline UINT forced = Dpi::design;
    StubbedDpi stubs;
};

RECT Relative(HWND window, HWND to)
{
    RECT rect, origin;
    GetWindowRect(window, &rect);
    GetWindowRect(to, &origin);
    OffsetRect(&rect, -origin.left, -origin.top);
    return rect;
}

// Every rectangle of a login window: its size, its buttons, the notice and the page, relative to it.
class ScaledLogin : public LoginWind {
public:
    ~ScaledLogin() override
    {
        if (windowHandle)
            DestroyWindow(windowHandle);
        PumpMessages();
    }
    std::vector<RECT> Rects()
    {
        std::vector<RECT> rects = {Relative(windowHandle, windowHandle), notice.GetArea(),
            Relative(WindManager::Instance()->GetWebViewWindow(webView), windowHandle)};
        for (Button* button : {&siteButton, &rechargeButton, &forumButton, &serviceButton, &minimizeButton,
                 &closeButton, &notice.RetryButton()})
            rects.push_back(button->GetRect());
        return rects;
    }
    Pixels Surface() const { return ReadBitmap(surface.DC(), surface.Bitmap()); }
};

const RECT hole = {477, 450, 1051, 735};

// The login window's size, its page over the hole and its Official Site button, at some scale.
void ExpectLoginLayout(const std::vector<RECT>& rects, SIZE window, const RECT& page, const RECT& site)
{
    EXPECT_TRUE(SameRect(rects[0], RECT{0, 0, window.cx, window.cy}));
    EXPECT_TRUE(SameRect(rects[2], page));
    EXPECT_TRUE(SameRect(rects[3], site));
}

void ExpectSame(const std::vector<RECT>& expected, const std::vector<RECT>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(SameRect(expected[i], actual[i])) << "rectangle " << i;
}

} // namespace

TEST(Dpi, EdgesRoundToTheNearestPixelAndAreasOutward)
{
    for (int dpi : {96, 120, 144, 168, 192}) {
        for (int edge = -200; edge <= 1300; ++edge) {
            double exact = edge * dpi / 96.0;
            ASSERT_EQ(Dpi::Scale(edge, dpi), static_cast<int>(std::floor(exact + 0.5))) << edge << " at " << dpi;
            RECT outward = Dpi::ScaleOutward(RECT{edge, edge, edge, edge}, dpi);
            ASSERT_EQ(outward.left, static_cast<int>(std::floor(exact))) << edge << " at " << dpi;
            ASSERT_EQ(outward.right, static_cast<int>(std::ceil(exact))) << edge << " at " << dpi;
        }
    }
    // The login skin at 150 %, and its hole, which has half pixels on every side but the top.
    EXPECT_EQ(Dpi::Scale(1186, 144), 1779);
    EXPECT_EQ(Dpi::Scale(954, 144), 1431);
    EXPECT_TRUE(SameRect(Dpi::Scale(hole, 144), RECT{716, 675, 1577, 1103}));
    EXPECT_TRUE(SameRect(Dpi::ScaleOutward(hole, 144), RECT{715, 675, 1577, 1103}));
    EXPECT_EQ(Dpi::Zoom(144), 150);
}

namespace {

struct Stub {
    static UINT WINAPI Window168(HWND) { return 168; }
    static UINT WINAPI NoWindow(HWND) { return 0; }
    static HRESULT WINAPI Monitor120(HMONITOR, int kind, UINT* x, UINT* y)
    {
        *x = *y = kind == 0 ? 120 : 0;
        return S_OK;
    }
    static HRESULT WINAPI NoMonitor(HMONITOR, int, UINT*, UINT*) { return E_INVALIDARG; }
    static int WINAPI Caps144(HDC dc, int index) { return dc && index == LOGPIXELSX ? 144 : 0; }
    static int WINAPI NoCaps(HDC, int) { return 0; }
};

} // namespace

TEST(Dpi, FallsBackFromTheWindowToItsMonitorToTheScreenTo96)
{
    const Dpi::EntryPoints system = Dpi::GetEntryPoints();
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    // This system has them all, and the test prefix runs at 96 DPI.
    EXPECT_NE(system.forWindow, nullptr);
    EXPECT_NE(system.forMonitor, nullptr);
    EXPECT_EQ(Dpi::OfWindow(window), 96);

    Dpi::SetEntryPoints({&Stub::Window168, &Stub::Monitor120, &Stub::Caps144});
    EXPECT_EQ(Dpi::OfWindow(window), 168);
    EXPECT_EQ(Dpi::OfMonitor(nullptr), 120);
    Dpi::SetEntryPoints({&Stub::NoWindow, &Stub::Monitor120, &Stub::Caps144});
    EXPECT_EQ(Dpi::OfWindow(window), 120);
    Dpi::SetEntryPoints({nullptr, &Stub::NoMonitor, &Stub::Caps144});
    EXPECT_EQ(Dpi::OfWindow(window), 144);
    Dpi::SetEntryPoints({nullptr, nullptr, &Stub::NoCaps});
    EXPECT_EQ(Dpi::OfWindow(window), 96);
    Dpi::SetEntryPoints({nullptr, nullptr, nullptr});
    EXPECT_EQ(Dpi::OfWindow(nullptr), 96);

    Dpi::SetEntryPoints(system);
    DestroyWindow(window);
}

TEST(Dpi, EveryImageHasATwinOfTwiceItsSizeWhoseSkinHoleIsTheScaledHole)
{
    WindManager* manager = WindManager::Instance();
    for (WORD id = IMAGE_SKIN; id <= IMAGE_RETRY_PRESSED; ++id) {
        ImagePtr image = manager->LoadPngResource(id, L"PNG");
        SIZE design = {};
        ImagePtr twin = Dpi::LoadArt(id, 192, design);
        ASSERT_TRUE(image && twin) << id;
        EXPECT_EQ(twin->GetWidth(), 2 * image->GetWidth()) << id;
        EXPECT_EQ(twin->GetHeight(), 2 * image->GetHeight()) << id;
    }

    // Transparent exactly over the hole at twice its place, and opaque on the ring around it.
    SIZE design = {};
    ImagePtr skin = Dpi::LoadArt(IMAGE_SKIN, 192, design);
    Gdiplus::Bitmap pixels(static_cast<INT>(skin->GetWidth()), static_cast<INT>(skin->GetHeight()),
        PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&pixels);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.DrawImage(skin.get(), 0, 0, static_cast<INT>(skin->GetWidth()), static_cast<INT>(skin->GetHeight()));
    }
    RECT doubled = Dpi::Scale(hole, 192);
    Gdiplus::Rect around(doubled.left - 2, doubled.top - 2, doubled.right - doubled.left + 4,
        doubled.bottom - doubled.top + 4);
    Gdiplus::BitmapData data;
    ASSERT_EQ(pixels.LockBits(&around, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
    int wrong = 0;
    for (int y = 0; y < around.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < around.Width; ++x) {
            POINT point = {around.X + x, around.Y + y};
            bool inside = PtInRect(&doubled, point) != FALSE;
            wrong += Pixels::Alpha(row[x]) != (inside ? 0 : 255);
        }
    }
    pixels.UnlockBits(&data);
    EXPECT_EQ(wrong, 0);
}

TEST(Dpi, TheLoginWindowAt150PercentIsScaledAndItsPageCoversEverySeeThroughPixel)
{
    ForcedDpi forced(144);
    ScaledLogin login;
    ASSERT_TRUE(login.Create());
    std::vector<RECT> rects = login.Rects();
    // The Official Site button at (542, 405), 80 x 37, and the close button at (1045, 364), 22 x 22.
    ExpectLoginLayout(rects, SIZE{1779, 1431}, RECT{715, 675, 1577, 1103}, RECT{813, 608, 933, 663});
    EXPECT_TRUE(SameRect(rects[1], rects[2]));
    EXPECT_TRUE(SameRect(rects[8], RECT{1568, 546, 1601, 579}));

    Pixels surface = login.Surface();
    ASSERT_EQ(surface.width, 1779);
    int uncovered = 0;
    int covered = 0;
    for (int y = rects[2].top - 4; y < rects[2].bottom + 4; ++y) {
        for (int x = rects[2].left - 4; x < rects[2].right + 4; ++x) {
            POINT point = {x, y};
            bool seeThrough = Pixels::Alpha(surface.At(x, y)) < 255;
            uncovered += seeThrough && !PtInRect(&rects[2], point);
            covered += seeThrough;
        }
    }
    EXPECT_EQ(uncovered, 0);
    EXPECT_GE(covered, (rects[2].right - rects[2].left - 2) * (rects[2].bottom - rects[2].top - 2));
}

TEST(Dpi, AWindowTheSystemScalesOtherwiseThanItsMonitorTakesItsOwnScale)
{
    StubbedDpi stubs({&Stub::Window168, &Stub::NoMonitor, nullptr});
    ScaledLogin login;
    ASSERT_TRUE(login.Create());
    ExpectLoginLayout(login.Rects(), SIZE{2076, 1670}, RECT{834, 787, 1840, 1287}, RECT{949, 709, 1089, 774});
}

TEST(Dpi, TheGameTitleBarAndItsButtonsFollowTheScale)
{
    {
        ForcedDpi forced(144);
        ProbeGame game;
        ASSERT_TRUE(game.Create());
        EXPECT_EQ(game.TitleBar(), 45);
        EXPECT_EQ(game.PageRect().top - game.Rect().top, 45);
        // Their design distances from the right edge, 32 and 96, and 30 x 27, at 150 %.
        int width = game.Width();
        EXPECT_TRUE(SameRect(game.ButtonRect(2), RECT{width - 48, 0, width - 3, 41}));
        EXPECT_TRUE(SameRect(game.ButtonRect(0), RECT{width - 144, 0, width - 99, 41}));
    }
    // Moved to a monitor at 200 %, and back.
    ProbeGame game;
    ASSERT_TRUE(game.Create());
    RECT place;
    GetWindowRect(game.GetHandle(), &place);
    SendMessageW(game.GetHandle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(game.TitleBar(), 60);
    EXPECT_EQ(game.PageRect().top - game.Rect().top, 60);
    EXPECT_EQ(game.ButtonRect(2).bottom, 54);
    SendMessageW(game.GetHandle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(game.TitleBar(), 30);
    EXPECT_TRUE(SameRect(game.ButtonRect(2), RECT{game.Width() - 32, 0, game.Width() - 2, 27}));
}

TEST(Dpi, TheLoginWindowMovedTo200PercentAndBackPresentsOnceEachTimeAndComesBackTheSame)
{
    ScaledLogin login;
    ASSERT_TRUE(login.Create());
    HWND window = login.GetHandle();
    ShowWindow(window, SW_SHOWNA);
    PumpMessages();
    std::vector<RECT> before = login.Rects();
    RECT place;
    GetWindowRect(window, &place);

    // The system asks for the size at the new DPI first: the skin's own.
    SIZE size = {};
    EXPECT_TRUE(SendMessageW(window, 0x02E4, 192, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(size.cx, 2372);
    EXPECT_EQ(size.cy, 1908);

    // The focus ring on Official Site is drawn again at the new scale.
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    PresentCounter presents;
    RECT suggested = {place.left - 100, place.top - 50, place.left - 100 + 2372, place.top - 50 + 1908};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(presents.Take(), 1);
    EXPECT_EQ(login.Surface().At(1085, 811), 0xFFFFF4C0u);
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(SameRect(now, suggested));
    ExpectLoginLayout(login.Rects(), SIZE{2372, 1908}, RECT{954, 900, 2102, 1470}, RECT{1084, 810, 1244, 884});
    EXPECT_EQ(login.Surface().width, 2372);

    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(presents.Take(), 1);
    ExpectSame(before, login.Rects());
    GetWindowRect(window, &now);
    EXPECT_TRUE(SameRect(now, place));
}
