// Creates, places and scales the launcher's layered popups and routes their messages.
#include "windows/SpecialWind.h"

#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"
#include "version.h"
#include "windows/WindAccessible.h"

namespace {

// Sent to per-monitor (v2) windows before WM_DPICHANGED, for the size at the new DPI.
const UINT getDpiScaledSize = 0x02E4;

} // namespace

SpecialWind::SpecialWind(ImagePtr initialSkin)
    : windowHandle(nullptr)
    , dpi(Dpi::OfMonitor(nullptr))
    , windowRect{}
    , restoreRect{}
    , panel(&surface)
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
    panel.SetWindow(windowHandle);
    return windowHandle;
}

bool SpecialWind::CreateWithSkin(ImagePtr newSkin, HWND parent)
{
    if (!newSkin || windowHandle)
        return false;
    int width = static_cast<int>(newSkin->GetWidth());
    int height = static_cast<int>(newSkin->GetHeight());
    if (!CreatePopupAt(CentredRect(width, height), parent))
        return false;
    return surface.Create(windowHandle, std::move(newSkin));
}

bool SpecialWind::CreateWithSkin(WORD id, HWND parent)
{
    SIZE design = {};
    if (windowHandle || !WindManager::Instance()->PngResourceSize(id, L"PNG", design))
        return false;
    // The window and its page are made while the skin is decoded.
    skinArt.Start(id, dpi);
    if (!CreatePopupAt(CentredRect(Dpi::Scale(design.cx, dpi), Dpi::Scale(design.cy, dpi)), parent))
        return false;
    if (!surface.Create(windowHandle, skinArt.Take(id, dpi, design))) {
        DestroyWindow(windowHandle);
        windowHandle = nullptr;
        return false;
    }
    surface.SetSkinResource(id, design);
    FollowWindowScale();
    return true;
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

bool SpecialWind::OfferToButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ButtonPanel::Outcome outcome = panel.Offer(window, message, wParam, lParam);
    if (outcome == ButtonPanel::KeyboardToPage)
        KeyboardToPage();
    return outcome != ButtonPanel::NotTaken;
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
        panel.SetWindow(nullptr);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETOBJECT:
        // Screen readers ask for the client area, whose children are the buttons.
        if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
            return DefWindowProcW(window, message, wParam, lParam);
        if (!accessible)
            accessible.Attach(new WindAccessible(&panel, window));
        return accessible->Answer(wParam);
    case WM_SIZE:
        // Minimised, a window keeps its size: only its icon is gone from the screen.
        if (wParam != SIZE_MINIMIZED) {
            windowRect.right = windowRect.left + LOWORD(lParam);
            windowRect.bottom = windowRect.top + HIWORD(lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam)
            surface.Hidden();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DPICHANGED:
        ChangeScale(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case getDpiScaledSize:
        // A skin's size at the new DPI is its own, not the system's linear guess.
        if (!surface.ScaledSize(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam)))
            return DefWindowProcW(window, message, wParam, lParam);
        return TRUE;
    case WM_GETMINMAXINFO: {
        // Maximised, the window fills the work area of its monitor, relative to that monitor.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        RECT work = Monitors::WorkAreaInMonitor(Monitors::OfWindow(window));
        info->ptMaxPosition = POINT{work.left, work.top};
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
    surface.Rescale(dpi);
    OnScaleChanged();
    RECT placed = suggested;
    // A skinned window is the size of its skin wherever the system suggests it goes.
    if (surface.HasSkin()) {
        SIZE size = surface.Size();
        placed.right = placed.left + size.cx;
        placed.bottom = placed.top + size.cy;
    }
    windowRect = placed;
    if (!IsZoomed(windowHandle))
        restoreRect = placed;
    SetWindowPos(windowHandle, nullptr, placed.left, placed.top, placed.right - placed.left,
        placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The new skin shows every button normal: one that is lit, pressed or has the focus ring is
    // drawn again as it is, once the window is in place (its moves present what was drawn).
    panel.RedrawAll();
    if (surface.HasSkin())
        surface.Present();
    else
        InvalidateRect(windowHandle, nullptr, FALSE);
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
    // Minimised, only where it is restored to changes: moving the window would move its icon.
    placement.rcNormalPosition = Monitors::ToWorkspace(rect);
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
