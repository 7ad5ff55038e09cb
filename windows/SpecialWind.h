// The base of the launcher's top-level windows: a borderless layered popup with its buttons.
#pragma once

#include <windows.h>

#include "toolkit/ArtLoader.h"
#include "toolkit/CallbackBase.h"
#include "toolkit/ComPtr.h"
#include "toolkit/LayeredSurface.h"
#include "toolkit/WindManager.h"
#include "windows/ButtonPanel.h"

class WindAccessible;

// Either shaped by a skin with per-pixel alpha (kept on an off-screen surface) or painted by
// itself with a colour key. A window offers its buttons each message before handling it.
class SpecialWind : public CallbackBase {
public:
    explicit SpecialWind(ImagePtr skin = nullptr);
    // The window is destroyed by whoever ends it, before this.
    ~SpecialWind() override;

    bool CreateWithSkin(ImagePtr skin, HWND parent);
    // The skin of a PNG resource, drawn at the window's DPI, and again whenever that changes.
    bool CreateWithSkin(WORD id, HWND parent);
    // Begins decoding that skin on a second thread, so that the window's buttons are made
    // meanwhile; CreateWithSkin(id) takes it.
    void PrepareSkin(WORD id) { skinArt.Start(id, dpi); }
    bool CreateWithColorKey(int width, int height, COLORREF key, HWND parent);
    // At a rectangle of the screen, on its monitor and at that monitor's scale from the start.
    bool CreateWithColorKey(const RECT& rect, COLORREF key, HWND parent);

    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LayeredSurface& GetSurface() { return surface; }
    // The buttons shown, in the order the keyboard and screen readers go through them.
    const std::vector<Button*>& GetButtons() const { return panel.Buttons(); }

    bool IsMaximized() const { return IsZoomed(windowHandle) != FALSE; }
    int Width() const { return windowRect.right - windowRect.left; }
    int Height() const { return windowRect.bottom - windowRect.top; }
    void MoveTo(int x, int y);
    // Places the window at a rectangle of the screen, and restores to it after a maximise, or
    // from minimised.
    void PlaceAt(const RECT& rect);
    void SetMaximized(bool maximize);

    HWND GetHandle() const { return windowHandle; }

    // Top-left corner that centres a window on a screen; each half drops its own remainder.
    static POINT CentredOrigin(int screenWidth, int screenHeight, int width, int height);

protected:
    // Offers a message to the buttons and the focus ring, first thing in HandleMessage. True when
    // they took it.
    bool OfferToButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A press at a point of the window drags it, as on a title bar.
    void DragFrom(LPARAM point) { PostMessageW(windowHandle, WM_NCLBUTTONDOWN, HTCAPTION, point); }
    // F6 in the page: the keyboard goes to the first button, or with Shift to the last.
    void KeyboardToButtons(bool last) { panel.TakeKeyboard(last); }
    // Escape or F6 took the keyboard from the buttons; a window with a page gives it to the page.
    virtual void KeyboardToPage() {}

    // A change of DPI (WM_DPICHANGED, or the system scaling a new window otherwise than its
    // monitor): the window has taken on the new DPI and its skin is drawn afresh at it; the window
    // lays out and draws the rest, and is then placed at the system's rectangle and presented once.
    virtual void OnScaleChanged() {}

    HWND windowHandle;
    // The DPI of the window, or of the monitor it opens on until it exists.
    int dpi;
    // Left and top are not followed while the user drags; only the size is relied on.
    RECT windowRect;
    RECT restoreRect;
    LayeredSurface surface;
    ButtonPanel panel;

private:
    // Centred on the full-screen client area of the primary monitor.
    static RECT CentredRect(int width, int height);
    HWND CreatePopupAt(const RECT& rect, HWND parent);
    // A maximised window covers exactly the work area of the monitor it is maximised on.
    void KeepMaximisedOnWorkArea(WINDOWPOS& position);
    void ChangeScale(int newDpi, const RECT& suggested);
    void FollowWindowScale();

    // Made when a client first asks for it; disconnected when the window is destroyed.
    ComPtr<WindAccessible> accessible;
    ArtLoader skinArt;
};
