#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <initializer_list>
#include <memory>

#include "toolkit/GdiObject.h"
#include "toolkit/MemoryDC.h"
#include "toolkit/WindManager.h"
#include "toolkit/CallbackBase.h"

class Button;

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
    // Places the window at a rectangle of the screen, and restores to it after a maximise.
    void PlaceAt(const RECT& rect);
    void SetMaximized(bool maximize);

    HWND GetHandle() const { return windowHandle; }
    int GetDpi() const { return dpi; }

    // Top-left corner that centres a window on a screen; each half drops its own remainder.
    static POINT CentredOrigin(int screenWidth, int screenHeight, int width, int height);
    // The part of a monitor that the taskbar and docked bars leave to windows; the primary
    // monitor's when that monitor is gone.
    static RECT WorkArea(HMONITOR monitor);

protected:
    // Offers a message to the buttons in order until one takes it; what they drew is presented
    // once. True when a button took the message.
    bool OfferToButtons(std::initializer_list<Button*> buttons, HWND window, UINT message, WPARAM wParam,
        LPARAM lParam);

    // WM_DPICHANGED: the window has taken on the new DPI, and its skin is drawn afresh at it; the
    // window lays out and draws the rest, and is then placed at the system's rectangle and
    // presented once.
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
    HWND CreateCentredPopup(int width, int height, HWND parent);
    // A surface of the skin's size with the skin drawn on it.
    void BuildSurface();
    void ChangeScale(int newDpi, const RECT& suggested);
    void PushSurface(HDC windowDC, const RECT* dirty);
};
