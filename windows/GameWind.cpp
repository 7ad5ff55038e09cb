#include "windows/GameWind.h"

#include <cstdlib>

#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"
#include "webview/WebViewCallback.h"
#include "windows/DefaultBrowser.h"

namespace {

const int titleBarHeight = 30;
const COLORREF colourKey = RGB(0xFF, 0x00, 0xFF);
const Gdiplus::ARGB pageFill = 0xFFFF00FF;
const Gdiplus::ARGB titleBarColour = 0xFF302921;
// Created larger than the page and brought to size at once, which makes the system lay out
// the host's frame under its rewritten style.
const int pageCreationExtraWidth = 17;
const int pageCreationExtraHeight = 40;

} // namespace

GameWind::GameWind(const wchar_t* address, HMONITOR startMonitor)
    : url(address ? address : L"")
    , pageLeft(0)
    , pageTop(0)
    , pageWidth(0)
    , pageHeight(0)
    , minimizeButton(this)
    , maximizeButton(this)
    , closeButton(this)
    , monitor(startMonitor)
    , lastPressTime(0)
    , lastPressPoint{}
{
    minimizeButton.SetName(L"Minimise");
    maximizeButton.SetName(L"Maximise");
    closeButton.SetName(L"Close");
    SetButtons({&minimizeButton, &maximizeButton, &closeButton});
    dpi = Dpi::OfMonitor(monitor);
    ScaleTitleBar();
    RECT work = Monitors::WorkArea(monitor);
    pageWidth = work.right - work.left;
    pageHeight = work.bottom - work.top - pageTop;
    PlaceButtons();
    minimizeButton.SetImages(120, 121, 122);
    maximizeButton.SetImages(123, 124, 125);
    closeButton.SetImages(126, 127, 128);
    for (Button* button : {&minimizeButton, &maximizeButton, &closeButton, &notice.RetryButton()})
        button->AddListener(ButtonClick, this, static_cast<ButtonHandler>(&GameWind::OnButtonClick));
}

GameWind::~GameWind() = default;

bool GameWind::Create()
{
    CreateWithColorKey(Monitors::WorkArea(monitor), colourKey, nullptr);
    return true;
}

int GameWind::Run()
{
    return ShowAndRunLoop(webView, true);
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
    notice.SetArea(RECT{pageLeft, pageTop, pageLeft + pageWidth, pageTop + pageHeight});
}

// The page's host is owned by this window, so its place is relative to this window. Repainted:
// parts of the page that were off the screen have no content to bring along.
void GameWind::PlacePage()
{
    WindManager::Instance()->MoveWebView(webView, pageLeft, pageTop, pageWidth, pageHeight, true);
}

LRESULT GameWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OfferToButtons(window, message, wParam, lParam))
        return 0;

    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        if (!IsIconic(window))
            PlacePage();
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
    case WM_SIZE:
        // Minimised, the page keeps its size (a game resets when its page shrinks to nothing) and
        // is hidden with its window, which the system does not do for it everywhere.
        PageFollowsMinimise(WindManager::Instance()->GetWebViewWindow(webView), wParam);
        if (wParam == SIZE_MINIMIZED)
            return PageWind::HandleMessage(window, message, wParam, lParam);
        pageWidth = LOWORD(lParam);
        pageHeight = HIWORD(lParam) - pageTop;
        Rename(&maximizeButton, wParam == SIZE_MAXIMIZED ? L"Restore" : L"Maximise");
        PlaceButtons();
        PlacePage();
        if (notice.IsShown())
            InvalidateRect(window, nullptr, FALSE);
        return PageWind::HandleMessage(window, message, wParam, lParam);
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_KEYDOWN: {
        // F11 on the title bar, on the buttons, or in the page (through the message loop); once
        // per press, however long the key is held.
        const LPARAM heldBefore = 1 << 30;
        if (wParam != VK_F11)
            return PageWind::HandleMessage(window, message, wParam, lParam);
        if (!(lParam & heldBefore))
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
            PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return 0;
    default:
        return PageWind::HandleMessage(window, message, wParam, lParam);
    }
}

void GameWind::OnCreate(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    WindManager* manager = WindManager::Instance();
    webView = manager->CreateWebView(rect.left + pageLeft, rect.top + pageTop,
        pageWidth + Dpi::Scale(pageCreationExtraWidth, dpi), pageHeight + Dpi::Scale(pageCreationExtraHeight, dpi),
        window, url.c_str(), nullptr, nullptr);
    manager->SetWebViewCallback(webView, this, &GameWind::OnWebViewEvent);
    manager->SetWebViewZoom(webView, Dpi::Zoom(dpi));
    PlacePage();
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
    WindManager::Instance()->SetWebViewZoom(webView, Dpi::Zoom(dpi));
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
    if (sender == &minimizeButton) {
        // The activation moves on to the next window, as the system's minimise does.
        ShowWindow(windowHandle, SW_MINIMIZE);
    } else if (sender == &maximizeButton) {
        SetMaximized(!IsMaximized());
    } else if (sender == &closeButton) {
        // Pressed through a screen reader while the page's modal UI disables the window.
        if (DeferWhileModal())
            return;
        DestroyPage();
        HWND window = windowHandle;
        windowHandle = nullptr;
        DestroyWindow(window);
    } else if (sender == &notice.RetryButton()) {
        RetryPage();
    }
}

bool GameWind::OnWebViewEvent(CallbackBase* owner, WebViewEvent kind, WebView*, const wchar_t* url, long)
{
    switch (kind) {
    case NewWindow:
        // Whatever the page asked for, the embedded browser opens no window of its own.
        OpenInDefaultBrowser(url);
        return true;
    case NavigateError:
    case DocumentComplete:
        if (owner)
            static_cast<GameWind*>(owner)->OnPageEvent(kind, url);
        return false;
    default:
        return false;
    }
}

void GameWind::ShowButtons()
{
    Button* retry = &notice.RetryButton();
    if (fullScreen.IsOn() && notice.IsShown())
        SetButtons({retry});
    else if (fullScreen.IsOn())
        SetButtons({});
    else if (notice.IsShown())
        SetButtons({&minimizeButton, &maximizeButton, &closeButton, retry});
    else
        SetButtons({&minimizeButton, &maximizeButton, &closeButton});
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
    ShowButtons();
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

void GameWind::ShowNotice()
{
    ShowButtons();
    PageNotice::HidePage(WindManager::Instance()->GetWebViewWindow(webView), windowHandle);
    RECT area = notice.GetArea();
    InvalidateRect(windowHandle, &area, FALSE);
}

void GameWind::ShowPage()
{
    ShowButtons();
    RECT area = notice.GetArea();
    InvalidateRect(windowHandle, &area, FALSE);
    // Before the window is shown, showing the window shows its page; while it is minimised,
    // restoring it does.
    ShowPageWithWindow(WindManager::Instance()->GetWebViewWindow(webView));
}
