#include "windows/SpecialWind.h"

#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"
#include "toolkit/SurfaceBitmap.h"
#include "toolkit/WindowDC.h"
#include "version.h"
#include "windows/Button.h"
#include "windows/WindAccessible.h"

namespace {

// Posted by PressLater: wParam is the button, pressed if it is still shown by then.
const UINT pressButtonMessage = WM_APP + 1;
// Posted when a restore shows the page again, handled once the restore is done.
const UINT pageRestoredMessage = WM_APP + 2;
// Sent to per-monitor (v2) windows before WM_DPICHANGED, for the size at the new DPI.
const UINT getDpiScaledSize = 0x02E4;

} // namespace

SpecialWind::SpecialWind(ImagePtr initialSkin)
    : windowHandle(nullptr)
    , dpi(Dpi::OfMonitor(nullptr))
    , windowRect{}
    , restoreRect{}
    , blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}
    , skinResource(0)
    , skinDesignSize{}
    , dirtyRect{}
    , surfacePresented(false)
    , pageHiddenWithWindow(false)
    , focusIndex(-1)
{
    if (initialSkin)
        CreateWithSkin(std::move(initialSkin), nullptr);
}

SpecialWind::~SpecialWind()
{
    if (accessible)
        accessible->Disconnect();
}

POINT SpecialWind::CentredOrigin(int screenWidth, int screenHeight, int width, int height)
{
    return POINT{screenWidth / 2 - width / 2, screenHeight / 2 - height / 2};
}

RECT SpecialWind::CentredRect(int width, int height)
{
    WindManager* manager = WindManager::Instance();
    POINT origin = CentredOrigin(manager->ScreenWidth(), manager->ScreenHeight(), width, height);
    return RECT{origin.x, origin.y, origin.x + width, origin.y + height};
}

HWND SpecialWind::CreatePopupAt(const RECT& rect, HWND parent)
{
    windowRect = rect;
    restoreRect = rect;
    // WM_CREATE reaches HandleMessage inside this call, with windowRect already set.
    // Named after the product: the taskbar, Alt+Tab and screen readers show it.
    windowHandle = WindManager::Instance()->CreatePopupWindow(L"" LAUNCHER_PRODUCT_NAME, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, static_cast<WndProcHandler>(&SpecialWind::HandleMessage), this,
        0, parent);
    if (windowHandle) {
        LONG exStyle = GetWindowLongW(windowHandle, GWL_EXSTYLE);
        if (!(exStyle & WS_EX_LAYERED))
            SetWindowLongW(windowHandle, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    }
    return windowHandle;
}

bool SpecialWind::CreateWithSkin(ImagePtr newSkin, HWND parent)
{
    if (!newSkin || windowHandle)
        return false;
    skin = std::move(newSkin);
    int width = static_cast<int>(skin->GetWidth());
    int height = static_cast<int>(skin->GetHeight());
    if (!CreatePopupAt(CentredRect(width, height), parent))
        return false;

    WindowDC windowDC(windowHandle);
    surfaceDC.Create(windowDC.Get());
    BuildSurface();
    PushSurface(windowDC.Get(), nullptr);
    return true;
}

bool SpecialWind::CreateWithSkin(WORD id, HWND parent)
{
    SIZE design = {};
    if (!CreateWithSkin(Dpi::LoadScaledArt(id, dpi, design), parent))
        return false;
    skinResource = id;
    skinDesignSize = design;
    FollowWindowScale();
    return true;
}

void SpecialWind::BuildSurface()
{
    surfaceGraphics.reset();
    int width = static_cast<int>(skin->GetWidth());
    int height = static_cast<int>(skin->GetHeight());
    // Selected before the bitmap it replaces is freed: a selected bitmap cannot be deleted.
    HBITMAP bitmap = CreateSurfaceBitmap(width, height);
    surfaceDC.Select(bitmap);
    surfaceBitmap.Reset(bitmap);

    // Without a working Graphics the skin cannot be drawn, and buttons must see no surface.
    surfaceGraphics.reset(new Gdiplus::Graphics(surfaceDC.Get()));
    if (surfaceGraphics->GetLastStatus() != Gdiplus::Ok)
        surfaceGraphics.reset();
    else
        surfaceGraphics->DrawImage(skin.get(), 0, 0, width, height);
}

bool SpecialWind::CreateWithColorKey(int width, int height, COLORREF key, HWND parent)
{
    return CreateWithColorKey(CentredRect(width, height), key, parent);
}

bool SpecialWind::CreateWithColorKey(const RECT& rect, COLORREF key, HWND parent)
{
    if (windowHandle)
        return false;
    if (!CreatePopupAt(rect, parent))
        return false;
    WindManager::Instance()->SetLayeredAttributes(windowHandle, key, 255, LWA_COLORKEY | LWA_ALPHA);
    FollowWindowScale();
    return true;
}

void SpecialWind::PresentSurface()
{
    WindowDC windowDC(windowHandle);
    PushSurface(windowDC.Get(), nullptr);
}

void SpecialWind::SurfaceChanged(const RECT& area)
{
    UnionRect(&dirtyRect, &dirtyRect, &area);
}

void SpecialWind::PresentChanges()
{
    if (IsRectEmpty(&dirtyRect))
        return;
    RECT dirty = dirtyRect;
    WindowDC windowDC(windowHandle);
    PushSurface(windowDC.Get(), &dirty);
}

void SpecialWind::RedrawSkin(const RECT& area)
{
    if (!surfaceGraphics)
        return;
    // Cleared to transparent first, as the surface was when the skin was first drawn on it.
    HDC dc = surfaceGraphics->GetHDC();
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    surfaceGraphics->ReleaseHDC(dc);
    INT width = area.right - area.left;
    INT height = area.bottom - area.top;
    surfaceGraphics->DrawImage(skin.get(), Gdiplus::Rect(area.left, area.top, width, height), area.left, area.top,
        width, height, Gdiplus::UnitPixel);
    SurfaceChanged(area);
}

void SpecialWind::PushSurface(HDC windowDC, const RECT* dirty)
{
    dirtyRect = RECT{};
    // A click handler may have destroyed the window before its button redraws.
    RECT screenRect;
    if (!GetWindowRect(windowHandle, &screenRect))
        return;
    POINT destination = {screenRect.left, screenRect.top};
    SIZE size = {static_cast<LONG>(skin->GetWidth()), static_cast<LONG>(skin->GetHeight())};
    POINT source = {0, 0};
    WindManager* manager = WindManager::Instance();
    if (dirty && surfacePresented && manager->HasUpdateLayeredIndirect()) {
        // Only the changed rectangle is copied to the screen; the rest, the place and the size
        // stay as presented.
        UPDATELAYEREDWINDOWINFO info = {};
        info.cbSize = sizeof(info);
        info.hdcDst = windowDC;
        info.hdcSrc = surfaceDC.Get();
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = dirty;
        if (manager->UpdateLayeredIndirect(windowHandle, &info))
            return;
    }
    if (manager->UpdateLayered(windowHandle, windowDC, &destination, &size, surfaceDC.Get(), &source, 0, &blend,
            ULW_ALPHA))
        surfacePresented = true;
}

void SpecialWind::SetButtons(std::initializer_list<Button*> shown)
{
    Button* focused = focusIndex >= 0 ? buttons[focusIndex] : nullptr;
    buttons.assign(shown);
    focusIndex = -1;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == focused)
            focusIndex = static_cast<int>(i);
    }
    // A button that is no longer shown loses the ring; the window keeps the keyboard.
    if (focused && focusIndex < 0)
        focused->SetFocusRing(false);
    if (windowHandle)
        NotifyWinEvent(EVENT_OBJECT_REORDER, windowHandle, OBJID_CLIENT, CHILDID_SELF);
}

LONG SpecialWind::ChildId(const Button* button) const
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == button)
            return static_cast<LONG>(i + 1);
    }
    return 0;
}

void SpecialWind::Rename(Button* button, const wchar_t* name)
{
    button->SetName(name);
    LONG id = ChildId(button);
    if (windowHandle && id)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, windowHandle, OBJID_CLIENT, id);
}

void SpecialWind::AnnounceState(const Button* button) const
{
    LONG id = ChildId(button);
    if (windowHandle && id)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, windowHandle, OBJID_CLIENT, id);
}

bool SpecialWind::PressLater(int index)
{
    return index >= 0 && static_cast<size_t>(index) < buttons.size() && windowHandle &&
        PostMessageW(windowHandle, pressButtonMessage, reinterpret_cast<WPARAM>(buttons[index]), 0);
}

bool SpecialWind::OfferToButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool taken = false;
    switch (message) {
    case WM_KEYDOWN:
        taken = OfferKey(wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The mouse leaves no focus ring behind.
        FocusButtonAt(-1);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            FocusButtonAt(-1);
        break;
    default:
        break;
    }
    for (size_t i = 0; i < buttons.size() && !taken; ++i)
        taken = buttons[i]->HandleMessage(window, message, wParam, lParam);
    // While a button is lit the window is told when the pointer leaves it, so that the button
    // does not stay lit; otherwise it asks for nothing (Wine polls the pointer while it tracks).
    // Asked at every move: the thread tracks one window at a time, and the page's control may
    // have asked since.
    if (message == WM_MOUSEMOVE) {
        bool lit = false;
        for (Button* button : buttons)
            lit = lit || button->GetState() != Normal;
        TRACKMOUSEEVENT track = {sizeof(track), static_cast<DWORD>(TME_LEAVE | (lit ? 0 : TME_CANCEL)), window, 0};
        TrackMouseEvent(&track);
    }
    PresentChanges();
    return taken;
}

bool SpecialWind::OfferKey(WPARAM key, LPARAM lParam)
{
    int count = static_cast<int>(buttons.size());
    if (count == 0)
        return false;
    bool back = GetKeyState(VK_SHIFT) < 0;
    if (focusIndex < 0) {
        // The window has the keyboard without a page to give it to (its notice shows, or its
        // title bar was clicked): Tab and F6 bring the ring.
        if (key != VK_TAB && key != VK_F6)
            return false;
        FocusButtonAt(back ? count - 1 : 0);
        return true;
    }
    switch (key) {
    case VK_TAB:
        FocusButtonAt((focusIndex + (back ? count - 1 : 1)) % count);
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        FocusButtonAt((focusIndex + 1) % count);
        return true;
    case VK_LEFT:
    case VK_UP:
        FocusButtonAt((focusIndex + count - 1) % count);
        return true;
    case VK_RETURN:
    case VK_SPACE: {
        // One click per press, however long the key is held. The click may destroy the window.
        const LPARAM heldBefore = 1 << 30;
        if (!(lParam & heldBefore))
            buttons[focusIndex]->Notify(ButtonClick, 0);
        return true;
    }
    case VK_ESCAPE:
    case VK_F6:
        KeyboardToPage();
        return true;
    default:
        return false;
    }
}

void SpecialWind::FocusButtonAt(int index)
{
    if (index == focusIndex)
        return;
    if (focusIndex >= 0)
        buttons[focusIndex]->SetFocusRing(false);
    focusIndex = index;
    if (focusIndex >= 0)
        buttons[focusIndex]->SetFocusRing(true);
    AnnounceFocus();
}

void SpecialWind::AnnounceFocus()
{
    if (focusIndex >= 0 && windowHandle && GetFocus() == windowHandle)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, windowHandle, OBJID_CLIENT, focusIndex + 1);
}

void SpecialWind::KeyboardToButtons(bool last)
{
    if (buttons.empty())
        return;
    // The ring comes first, so that the activation below leaves the keyboard with the buttons.
    FocusButtonAt(last ? static_cast<int>(buttons.size()) - 1 : 0);
    SetForegroundWindow(windowHandle);
    SetFocus(windowHandle);
    // Announced once the window has the keyboard, after the system has announced the window.
    AnnounceFocus();
    PresentChanges();
}

void SpecialWind::KeyboardToPage()
{
    FocusButtonAt(-1);
    HWND page = PageWindow();
    if (page && IsWindowVisible(page))
        SetForegroundWindow(page);
}

LRESULT SpecialWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        if (accessible)
            accessible->Disconnect();
        accessible.Reset();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETOBJECT:
        // Screen readers ask for the client area, whose children are the buttons.
        if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
            return DefWindowProcW(window, message, wParam, lParam);
        if (!accessible)
            accessible.Attach(new WindAccessible(this, window));
        return accessible->Answer(wParam);
    case pageRestoredMessage:
        // The system may activate a window restored from the taskbar or Alt+Tab before it is
        // restored, while its page is hidden: the window in front now puts the keyboard in its page.
        if (GetForegroundWindow() == window && !ButtonsHaveKeyboard())
            KeyboardToPage();
        return 0;
    case pressButtonMessage: {
        Button* button = reinterpret_cast<Button*>(wParam);
        if (ChildId(button))
            button->Notify(ButtonClick, 0);
        return 0;
    }
    case WM_SIZE:
        // Minimised, a window keeps its size: only its icon is gone from the screen.
        if (wParam != SIZE_MINIMIZED) {
            windowRect.right = windowRect.left + LOWORD(lParam);
            windowRect.bottom = windowRect.top + HIWORD(lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SHOWWINDOW:
        // A layered window does not keep what it showed while hidden for a partial update.
        if (wParam)
            surfacePresented = false;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DPICHANGED:
        ChangeScale(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case getDpiScaledSize: {
        // A skin's size at the new DPI is its own, not the system's linear guess.
        if (!skinResource)
            return DefWindowProcW(window, message, wParam, lParam);
        auto* size = reinterpret_cast<SIZE*>(lParam);
        int newDpi = static_cast<int>(wParam);
        *size = SIZE{Dpi::Scale(skinDesignSize.cx, newDpi), Dpi::Scale(skinDesignSize.cy, newDpi)};
        return TRUE;
    }
    case WM_GETMINMAXINFO: {
        // Maximised, the window fills the work area of its monitor, relative to that monitor.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        MONITORINFO monitorInfo = Monitors::Info(Monitors::OfWindow(window));
        const RECT& work = monitorInfo.rcWork;
        info->ptMaxPosition = POINT{work.left - monitorInfo.rcMonitor.left, work.top - monitorInfo.rcMonitor.top};
        info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
        info->ptMinTrackSize.x = Width();
        info->ptMinTrackSize.y = Height();
        return 0;
    }
    case WM_WINDOWPOSCHANGING:
        KeepMaximisedOnWorkArea(*reinterpret_cast<WINDOWPOS*>(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Laid out at its monitor's DPI before it existed, a window that the system scales otherwise
// (another monitor, a system-wide scale) takes on its own.
void SpecialWind::FollowWindowScale()
{
    int own = Dpi::OfWindow(windowHandle);
    if (own == dpi)
        return;
    RECT rect;
    GetWindowRect(windowHandle, &rect);
    ChangeScale(own, rect);
}

void SpecialWind::ChangeScale(int newDpi, const RECT& suggested)
{
    if (newDpi <= 0)
        return;
    dpi = newDpi;
    if (skin && skinResource) {
        SIZE design = {};
        ImagePtr scaled = Dpi::LoadScaledArt(skinResource, dpi, design);
        if (scaled) {
            skin = std::move(scaled);
            BuildSurface();
        }
    }
    OnScaleChanged();
    RECT placed = suggested;
    // A skinned window is the size of its skin wherever the system suggests it goes.
    if (skin) {
        placed.right = placed.left + static_cast<LONG>(skin->GetWidth());
        placed.bottom = placed.top + static_cast<LONG>(skin->GetHeight());
    }
    windowRect = placed;
    if (!IsZoomed(windowHandle))
        restoreRect = placed;
    SetWindowPos(windowHandle, nullptr, placed.left, placed.top, placed.right - placed.left,
        placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The new skin shows every button normal: one that is lit, pressed or has the focus ring is
    // drawn again as it is, once the window is in place (its moves present what was drawn).
    for (Button* button : buttons)
        button->Redraw();
    if (skin)
        PresentSurface();
    else
        InvalidateRect(windowHandle, nullptr, FALSE);
}

bool SpecialWind::IsMaximized() const
{
    return IsZoomed(windowHandle) != FALSE;
}

void SpecialWind::MoveTo(int x, int y)
{
    int width = Width();
    int height = Height();
    windowRect = RECT{x, y, x + width, y + height};
    MoveWindow(windowHandle, x, y, width, height, TRUE);
}

void SpecialWind::PlaceAt(const RECT& rect)
{
    restoreRect = rect;
    windowRect = rect;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!IsIconic(windowHandle) || !GetWindowPlacement(windowHandle, &placement)) {
        MoveWindow(windowHandle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        return;
    }
    // Minimised, only where it is restored to changes: moving the window would move its icon. The
    // place is kept in workspace coordinates, whose origin is the primary monitor's work area.
    RECT primaryWork = Monitors::WorkArea(Monitors::Primary());
    placement.rcNormalPosition = rect;
    OffsetRect(&placement.rcNormalPosition, -primaryWork.left, -primaryWork.top);
    placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(windowHandle, &placement);
}

void SpecialWind::KeepMaximisedOnWorkArea(WINDOWPOS& position)
{
    if (!IsZoomed(windowHandle) || (position.flags & SWP_NOSIZE))
        return;
    // On a monitor other than the primary one the system changes a maximised size at least as large
    // as the primary monitor by the difference between the two, and a larger monitor overflows.
    RECT current;
    GetWindowRect(windowHandle, &current);
    POINT corner = (position.flags & SWP_NOMOVE) ? POINT{current.left, current.top} : POINT{position.x, position.y};
    RECT proposed = {corner.x, corner.y, corner.x + position.cx, corner.y + position.cy};
    RECT work = Monitors::WorkArea(Monitors::OfRect(proposed));
    position.x = work.left;
    position.y = work.top;
    position.cx = work.right - work.left;
    position.cy = work.bottom - work.top;
    position.flags &= ~SWP_NOMOVE;
}

void SpecialWind::SetMaximized(bool maximize)
{
    if (maximize == IsMaximized())
        return;
    if (maximize) {
        windowRect.left = 0;
        windowRect.top = 0;
        GetWindowRect(windowHandle, &restoreRect);
        ShowWindow(windowHandle, SW_SHOWMAXIMIZED);
    } else {
        ShowWindow(windowHandle, SW_SHOWNORMAL);
        windowRect = restoreRect;
        MoveTo(restoreRect.left, restoreRect.top);
    }
}

void SpecialWind::ShowWithPage(WebView* webView)
{
    ShowWindow(windowHandle, SW_SHOWNORMAL);
    UpdateWindow(windowHandle);
    // The page appears only once its window is on the screen, at its place, without taking the
    // activation from the window.
    HWND page = WindManager::Instance()->GetWebViewWindow(webView);
    if (page && !IsWindowVisible(page) && ShowsPage())
        ShowWindow(page, SW_SHOWNA);
}

void SpecialWind::PageFollowsMinimise(HWND page, WPARAM sizeKind)
{
    if (!page)
        return;
    if (sizeKind == SIZE_MINIMIZED) {
        pageHiddenWithWindow = ShowWindow(page, SW_HIDE) != FALSE;
        return;
    }
    if (pageHiddenWithWindow && ShowsPage()) {
        ShowWindow(page, SW_SHOWNA);
        PostMessageW(windowHandle, pageRestoredMessage, 0, 0);
    }
    pageHiddenWithWindow = false;
}

void SpecialWind::ShowPageWithWindow(HWND page)
{
    if (page && IsIconic(windowHandle))
        pageHiddenWithWindow = true;
    else if (page && IsWindowVisible(windowHandle))
        ShowWindow(page, SW_SHOWNA);
}

int SpecialWind::ShowAndRunLoop(WebView* const& webView, bool refreshOnF5)
{
    if (!IsWindow(windowHandle))
        return 0;
    ShowWithPage(webView);

    WindManager* manager = WindManager::Instance();
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0)) {
        HWND host = manager->GetWebViewWindow(webView);
        bool inPage = host && (message.hwnd == host || IsChild(host, message.hwnd));
        bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
        // A pointer in the page has left the window's buttons, whether or not the system says so
        // (Wine does not when it moves straight into the owned page).
        if (inPage && message.message == WM_MOUSEMOVE)
            SendMessageW(windowHandle, WM_MOUSELEAVE, 0, 0);
        // Alt+Space opens the window's system menu, as its default handling would, from the page
        // (whose host has none) and from the window itself (whose keys are not translated, so no
        // WM_SYSCHAR would come to open it). The character is the key's.
        bool own = inPage || message.hwnd == windowHandle;
        if (message.message == WM_SYSKEYDOWN && message.wParam == VK_SPACE && own) {
            PostMessageW(windowHandle, WM_SYSCOMMAND, SC_KEYMENU, L' ');
            continue;
        }
        if (!inPage || !key) {
            DispatchMessageW(&message);
            continue;
        }
        // F6 moves the keyboard between the page and the window's buttons, as between the panes
        // of any window; like F5 it is the window's, and the control never sees it.
        if (message.message == WM_KEYDOWN && message.wParam == VK_F6) {
            KeyboardToButtons(GetKeyState(VK_SHIFT) < 0);
            continue;
        }
        // F11 is the window's too (full screen, where the window has one): the control never sees it.
        if (message.wParam == VK_F11 && (message.message == WM_KEYDOWN || message.message == WM_KEYUP)) {
            SendMessageW(windowHandle, message.message, message.wParam, message.lParam);
            continue;
        }
        // Alt+F4 in the page closes the window the page belongs to, not just the page's host.
        if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) {
            PostMessageW(windowHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
            continue;
        }
        // The control has the first chance at the page's keys (its accelerators, moving between
        // fields); what it leaves is typed into the page, whatever the page asks of the dialog
        // manager. F5 is the window's: the control is told so, and does not reload by itself.
        bool handled = manager->TranslateWebViewAccelerator(webView, &message);
        bool f5 = message.wParam == VK_F5 && (message.message == WM_KEYDOWN || message.message == WM_KEYUP);
        if (f5 && refreshOnF5)
            manager->RefreshWebView(webView);
        if (!handled) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
