#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "toolkit/ComPtr.h"
#include "toolkit/GdiObject.h"
#include "toolkit/MemoryDC.h"
#include "toolkit/WindManager.h"
#include "toolkit/CallbackBase.h"

class Button;
class WindAccessible;

// Base of the top-level windows: a borderless layered popup, either shaped by a skin with
// per-pixel alpha (kept on an off-screen surface) or painted by itself with a colour key.
class SpecialWind : public CallbackBase {
public:
    explicit SpecialWind(ImagePtr skin = nullptr);
    // Releases the skin and the surface; the window is destroyed by whoever ends it, before this.
    ~SpecialWind() override;

    bool CreateWithSkin(ImagePtr skin, HWND parent);
    // The skin of a PNG resource, drawn at the window's DPI, and again whenever that changes.
    bool CreateWithSkin(WORD id, HWND parent);
    bool CreateWithColorKey(int width, int height, COLORREF key, HWND parent);
    // At a rectangle of the screen, on its monitor and at that monitor's scale from the start.
    bool CreateWithColorKey(const RECT& rect, COLORREF key, HWND parent);

    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Pushes the whole off-screen surface to the screen.
    void PresentSurface();
    Gdiplus::Graphics* GetSurfaceGraphics() const { return surfaceGraphics.get(); }
    // Marks part of the surface as drawn on since the last present (window client coordinates).
    void SurfaceChanged(const RECT& area);
    // Pushes what was drawn since the last present, if anything, and only that where the system
    // can update part of a layered window.
    void PresentChanges();
    // Draws the skin afresh over part of the surface, as it was before anything was drawn on it.
    void RedrawSkin(const RECT& area);

    bool IsMaximized() const;
    int Width() const { return windowRect.right - windowRect.left; }
    int Height() const { return windowRect.bottom - windowRect.top; }
    void MoveTo(int x, int y);
    // Places the window at a rectangle of the screen, and restores to it after a maximise, or
    // from minimised.
    void PlaceAt(const RECT& rect);
    void SetMaximized(bool maximize);

    HWND GetHandle() const { return windowHandle; }

    // The buttons shown, in the order the keyboard and screen readers go through them.
    const std::vector<Button*>& GetButtons() const { return buttons; }
    // Tells screen readers that a shown button's state changed.
    void AnnounceState(const Button* button) const;
    // Clicks the button at a place in that order once the current message is handled, as a
    // click of the mouse does. False when there is no such button or no window.
    bool PressLater(int index);

    // Top-left corner that centres a window on a screen; each half drops its own remainder.
    static POINT CentredOrigin(int screenWidth, int screenHeight, int width, int height);

protected:
    void SetButtons(std::initializer_list<Button*> shown);
    // Gives a shown button another name, and tells screen readers.
    void Rename(Button* button, const wchar_t* name);
    // Offers a message to the buttons until one takes it, and the window's keys to the focus
    // ring; what they drew is presented once. True when a button or the ring took the message.
    bool OfferToButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // F6 in the page: the keyboard goes to the first button, or with Shift to the last.
    void KeyboardToButtons(bool last);
    // Whether the buttons have the keyboard: one of them shows the focus ring.
    bool ButtonsHaveKeyboard() const { return focusIndex >= 0; }
    // The page's window while it is shown in the window, where the keyboard goes back to.
    virtual HWND PageWindow() const { return nullptr; }

    // A change of DPI (WM_DPICHANGED, or the system scaling a new window otherwise than its
    // monitor): the window has taken on the new DPI and its skin is drawn afresh at it; the window
    // lays out and draws the rest, and is then placed at the system's rectangle and presented once.
    virtual void OnScaleChanged() {}

    // Shows the window, then the page of its web view unless something else is shown in its place.
    void ShowWithPage(WebView* webView);
    virtual bool ShowsPage() const { return true; }
    // On WM_SIZE: a minimised window hides its owned page (which the system does not do for it
    // everywhere) and shows it again when restored, unless the page is not to be shown then.
    void PageFollowsMinimise(HWND page, WPARAM sizeKind);
    // Shows the page of a shown window; a minimised one shows it when restored.
    void ShowPageWithWindow(HWND page);
    // Shows the window and its page and runs the thread's message loop until WM_QUIT, whose code it returns.
    // Key messages of the web page's windows go to the page's control first; F5 there refreshes
    // the page when asked for. The web view is read afresh for every message.
    int ShowAndRunLoop(WebView* const& webView, bool refreshOnF5);

    HWND windowHandle;
    // The DPI of the window, or of the monitor it opens on until it exists.
    int dpi;
    // Left and top are not followed while the user drags; only the size is relied on.
    RECT windowRect;
    RECT restoreRect;
    BLENDFUNCTION blend;
    // Declared so that they are released graphics first, skin last.
    ImagePtr skin;
    // The resource the skin is drawn from at each DPI, 0 for a skin given as an image.
    WORD skinResource;
    SIZE skinDesignSize;
    GdiObject<HBITMAP> surfaceBitmap;
    MemoryDC surfaceDC;
    std::unique_ptr<Gdiplus::Graphics> surfaceGraphics;
    // Drawn on since the last present; empty when nothing was.
    RECT dirtyRect;
    // Until one whole present has reached the screen, a part of the surface is not enough.
    bool surfacePresented;
    // The page was hidden with the minimised window and comes back with it.
    bool pageHiddenWithWindow;

private:
    // Centred on the full-screen client area of the primary monitor.
    static RECT CentredRect(int width, int height);
    HWND CreatePopupAt(const RECT& rect, HWND parent);
    // A maximised window covers exactly the work area of the monitor it is maximised on.
    void KeepMaximisedOnWorkArea(WINDOWPOS& position);
    // A surface of the skin's size with the skin drawn on it.
    void BuildSurface();
    void ChangeScale(int newDpi, const RECT& suggested);
    void FollowWindowScale();
    void PushSurface(HDC windowDC, const RECT* dirty);
    // Tab, the arrows, Enter, Space, Escape and F6 while the window has the keyboard.
    bool OfferKey(WPARAM key, LPARAM lParam);
    // Moves the ring to a place in the button order; -1 takes it away.
    void FocusButtonAt(int index);
    void AnnounceFocus();
    // A shown button's id for screen readers: its place in the order, from 1; 0 for another.
    LONG ChildId(const Button* button) const;
    void KeyboardToPage();

    std::vector<Button*> buttons;
    int focusIndex;
    // Made when a client first asks for it; disconnected when the window is destroyed.
    ComPtr<WindAccessible> accessible;
};
