// Lays out and paints the game window's title bar, answers its buttons and keeps it on its monitor.
#include "windows/GameWind.h"

#include <cstdlib>

#include "resources/ResourceIds.h"
#include "toolkit/Dpi.h"
#include "toolkit/Keys.h"
#include "toolkit/Monitors.h"

namespace {

const int titleBarHeight = 30;
const COLORREF colourKey = RGB(0xFF, 0x00, 0xFF);
const Gdiplus::ARGB pageFill = 0xFFFF00FF;
const Gdiplus::ARGB titleBarColour = 0xFF302921;
// The page is created larger than its place and brought to size at once.
const SIZE pageCreationExtra = {17, 40};

} // namespace

GameWind::GameWind(const wchar_t* address, HMONITOR startMonitor)
    : url(address ? address : L"")
    , pageLeft(0)
    , pageTop(0)
    , pageWidth(0)
    , pageHeight(0)
    , minimizeButton(&panel)
    , maximizeButton(&panel)
    , closeButton(&panel)
    , monitor(startMonitor)
    , lastPressTime(0)
    , lastPressPoint{}
{
    minimizeButton.SetName(L"Minimise");
    maximizeButton.SetName(L"Maximise");
    closeButton.SetName(L"Close");
    SetTitleBarButtons();
    dpi = Dpi::OfMonitor(monitor);
    ScaleTitleBar();
    RECT work = Monitors::WorkArea(monitor);
    pageWidth = work.right - work.left;
    pageHeight = work.bottom - work.top - pageTop;
    PlaceButtons();
    minimizeButton.SetImages(IMAGE_GAME_MINIMIZE_NORMAL, IMAGE_GAME_MINIMIZE_HOVER, IMAGE_GAME_MINIMIZE_PRESSED);
    maximizeButton.SetImages(IMAGE_GAME_MAXIMIZE_NORMAL, IMAGE_GAME_MAXIMIZE_HOVER, IMAGE_GAME_MAXIMIZE_PRESSED);
    closeButton.SetImages(IMAGE_GAME_CLOSE_NORMAL, IMAGE_GAME_CLOSE_HOVER, IMAGE_GAME_CLOSE_PRESSED);
    for (Button* button : {&minimizeButton, &maximizeButton, &closeButton})
        button->AddListener(ButtonClick, this, static_cast<ButtonHandler>(&GameWind::OnButtonClick));
}

bool GameWind::Create()
{
    if (!CreateWithColorKey(Monitors::WorkArea(monitor), colourKey, nullptr))
        return true;
    // The styles its own buttons stand for: the system menu offers Maximize, and Windows+Up and
    // Windows+Down act. A window without a caption gets no buttons drawn by the system.
    LONG style = GetWindowLongW(windowHandle, GWL_STYLE);
    SetWindowLongW(windowHandle, GWL_STYLE, style | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    return true;
}

int GameWind::Run()
{
    return ShowAndRunLoop(true);
}

// After a change of resolution or of the taskbar the window covers its monitor's work area
// again, so that its title bar and buttons are on the screen; in full screen the whole monitor.
void GameWind::PlaceOnWorkArea()
{
    monitor = Monitors::OfWindow(windowHandle);
    PlaceAt(fullScreen.IsOn() ? FullScreen::Area(monitor) : Monitors::WorkArea(monitor));
}

bool GameWind::CoversWorkArea() const
{
    RECT rect;
    RECT work = Monitors::WorkArea(monitor);
    return !IsZoomed(windowHandle) && GetWindowRect(windowHandle, &rect) && EqualRect(&rect, &work);
}

bool GameWind::IsDoubleClick(LPARAM lParam)
{
    DWORD time = static_cast<DWORD>(GetMessageTime());
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    bool twice = lastPressTime && time - lastPressTime <= GetDoubleClickTime() &&
        abs(point.x - lastPressPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        abs(point.y - lastPressPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    lastPressTime = twice ? 0 : time;
    lastPressPoint = point;
    return twice;
}

void GameWind::PlaceButtons()
{
    // Kept at their design distances from the right edge, scaled.
    const POINT rightEdge = {pageWidth, 0};
    minimizeButton.SetPosition(-96, 0, rightEdge);
    maximizeButton.SetPosition(-64, 0, rightEdge);
    closeButton.SetPosition(-32, 0, rightEdge);
    notice.SetArea(PagePlace());
}

RECT GameWind::PagePlace() const
{
    return RECT{pageLeft, pageTop, pageLeft + pageWidth, pageTop + pageHeight};
}

LRESULT GameWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OfferToButtons(window, message, wParam, lParam))
        return 0;

    switch (message) {
    case WM_CREATE:
        CreatePage(window, url.c_str(), pageCreationExtra);
        return 0;
    case WM_DISPLAYCHANGE:
        PlaceOnWorkArea();
        return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale, a window that covers its monitor's work area (or the
        // whole monitor) covers that of the new one, rather than the rectangle suggested at the new scale.
        RECT place = *reinterpret_cast<const RECT*>(lParam);
        if (fullScreen.IsOn() || CoversWorkArea()) {
            monitor = Monitors::OfRect(place);
            place = fullScreen.IsOn() ? FullScreen::Area(monitor) : Monitors::WorkArea(monitor);
        }
        return PageWind::HandleMessage(window, message, wParam, reinterpret_cast<LPARAM>(&place));
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            PlaceOnWorkArea();
        return 0;
    case WM_SIZE: {
        LRESULT result = PageWind::HandleMessage(window, message, wParam, lParam);
        // Minimised, the page keeps its size: a game resets when its page shrinks to nothing.
        if (wParam == SIZE_MINIMIZED)
            return result;
        pageWidth = LOWORD(lParam);
        pageHeight = HIWORD(lParam) - pageTop;
        panel.Rename(&maximizeButton, wParam == SIZE_MAXIMIZED ? L"Restore" : L"Maximise");
        PlaceButtons();
        PlacePage();
        if (notice.IsShown())
            InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_KEYDOWN: {
        // F11 on the title bar, on the buttons, or in the page (through the message loop); once
        // per press, however long the key is held.
        if (wParam != VK_F11)
            return PageWind::HandleMessage(window, message, wParam, lParam);
        if (IsFirstPress(lParam))
            ToggleFullScreen();
        return 0;
    }
    case WM_LBUTTONDOWN:
        // On the title bar a double-click maximises or restores, as on any title bar, and a single
        // press drags the window; the page area below holds at most the notice. The move loop takes
        // the button's release, so the class asks for no double-clicks and the window counts them.
        if (static_cast<short>(HIWORD(lParam)) >= pageTop)
            return 0;
        if (IsDoubleClick(lParam))
            SetMaximized(!IsMaximized());
        else
            DragFrom(lParam);
        return 0;
    default:
        return PageWind::HandleMessage(window, message, wParam, lParam);
    }
}

void GameWind::ScaleTitleBar()
{
    pageTop = fullScreen.IsOn() ? 0 : Dpi::Scale(titleBarHeight, dpi);
    ScaleButtons();
}

void GameWind::OnScaleChanged()
{
    ScaleTitleBar();
    pageHeight = Height() - pageTop;
    PlaceButtons();
    PlacePage();
    ZoomPage();
}

void GameWind::OnPaint(HWND window)
{
    // Made on the first paint and kept until the process ends; being created after the toolkit,
    // they are deleted before GDI+ shuts down.
    static Gdiplus::SolidBrush keyBrush{Gdiplus::Color(pageFill)};
    static Gdiplus::SolidBrush titleBarBrush{Gdiplus::Color(titleBarColour)};

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    {
        Gdiplus::Graphics graphics(dc);
        graphics.FillRectangle(&keyBrush, 0, pageTop, Width(), Height() - pageTop);
        if (notice.IsShown())
            notice.Draw(&graphics);
        if (!fullScreen.IsOn()) {
            graphics.FillRectangle(&titleBarBrush, 0, 0, Width(), pageTop);
            for (Button* button : {&minimizeButton, &maximizeButton, &closeButton})
                button->Draw(&graphics);
        }
    }
    if (!fullScreen.IsOn())
        caption.Draw(dc, window, RECT{0, 0, minimizeButton.GetRect().left, pageTop}, dpi);
    EndPaint(window, &paint);
}

void GameWind::OnButtonClick(int eventId, Button* sender, int)
{
    if (eventId != ButtonClick)
        return;
    if (sender == &minimizeButton)
        Minimise();
    else if (sender == &maximizeButton)
        SetMaximized(!IsMaximized());
    else if (sender == &closeButton)
        // Pressable through a screen reader while the page's modal UI disables the window.
        Close();
}

void GameWind::NoticeChanged()
{
    RECT area = notice.GetArea();
    InvalidateRect(windowHandle, &area, FALSE);
}

// The title bar's buttons while it shows; the notice's Retry follows them.
void GameWind::SetTitleBarButtons()
{
    if (fullScreen.IsOn())
        SetPageButtons({});
    else
        SetPageButtons({&minimizeButton, &maximizeButton, &closeButton});
}

// The title bar and its buttons go, out of the keyboard's order and screen readers' view, and the
// page covers the monitor, the taskbar's place included; the shell hides its taskbar for a window
// that covers its monitor. Again, the window goes back to how it was.
void GameWind::ToggleFullScreen()
{
    // The keyboard stays in the page, and with the title bar gone a keyboard left on the window goes
    // there, before the window covers its monitor; a restore to maximised activates the window, and
    // the page gets the keyboard back after it.
    HWND page = PageWindow();
    bool keyboardToPage = page && (GetForegroundWindow() == page || (!fullScreen.IsOn() && GetFocus() == windowHandle));
    if (keyboardToPage && GetForegroundWindow() != page)
        SetForegroundWindow(page);
    monitor = Monitors::OfWindow(windowHandle);
    bool maximize = false;
    RECT place;
    if (fullScreen.IsOn()) {
        place = fullScreen.Leave(monitor, maximize);
    } else {
        RECT normal;
        GetWindowRect(windowHandle, &normal);
        place = fullScreen.Enter(monitor, IsMaximized() ? restoreRect : normal, IsMaximized(), CoversWorkArea());
    }
    // The title bar goes or comes first, so that the window's new size lays the page out for it.
    SetTitleBarButtons();
    ScaleTitleBar();
    // Out of maximised without taking the activation from the page.
    if (IsMaximized())
        ShowWindow(windowHandle, SW_SHOWNOACTIVATE);
    PlaceAt(place);
    SetMaximized(maximize);
    // Laid out again also where the size stays (a monitor without a taskbar).
    pageWidth = Width();
    pageHeight = Height() - pageTop;
    PlaceButtons();
    PlacePage();
    InvalidateRect(windowHandle, nullptr, FALSE);
    if (keyboardToPage && GetForegroundWindow() != page)
        SetForegroundWindow(page);
}
