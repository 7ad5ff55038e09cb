// Draws an image button and turns mouse messages into its states and clicks.
#include "windows/Button.h"

#include <oleacc.h>

#include "toolkit/Dpi.h"

namespace {

// Light on the dark skin and on the buttons' gold rims alike.
const Gdiplus::ARGB focusRingColour = 0xFFFFF4C0;
const Gdiplus::REAL focusRingWidth = 2.0f;

} // namespace

Button::Button(ButtonHost* buttonHost)
    : state(Normal)
    , rect{}
    , pressed(false)
    , imageIds{}
    , host(buttonHost)
    , drawnState(-1)
    , focusRing(false)
    , drawnFocusRing(false)
    , name(L"")
    , dpi(Dpi::design)
    , designOrigin{}
    , anchor{}
    , designSize{}
{
}

void Button::SetPosition(int x, int y, POINT newAnchor)
{
    designOrigin = POINT{x, y};
    anchor = newAnchor;
    Layout();
}

void Button::Layout()
{
    RECT design = {designOrigin.x, designOrigin.y, designOrigin.x + designSize.cx, designOrigin.y + designSize.cy};
    RECT moved = Dpi::Scale(design, dpi);
    OffsetRect(&moved, anchor.x, anchor.y);
    // Until the surface has been drawn at the new place, what it shows there is not our image.
    if (!EqualRect(&moved, &rect))
        drawnState = -1;
    rect = moved;
}

void Button::SetScale(int newDpi)
{
    if (newDpi == dpi)
        return;
    dpi = newDpi;
    for (ImagePtr& image : images)
        image.reset();
    Layout();
    drawnState = -1;
}

bool Button::SetImages(int normal, int hover, int pressedImage)
{
    WindManager* manager = WindManager::Instance();
    const WORD ids[3] = {static_cast<WORD>(normal), static_cast<WORD>(hover), static_cast<WORD>(pressedImage)};
    SIZE size = {};
    ImagePtr normalImage = Dpi::LoadArt(ids[Normal], dpi, size);
    if (!normalImage || !manager->HasResource(ids[Hover], L"PNG") || !manager->HasResource(ids[Pressed], L"PNG"))
        return false;

    designSize = size;
    Layout();
    images[Normal] = Dpi::Resample(std::move(normalImage), SIZE{rect.right - rect.left, rect.bottom - rect.top});
    images[Hover].reset();
    images[Pressed].reset();
    for (int i = 0; i < 3; ++i)
        imageIds[i] = ids[i];
    drawnState = -1;
    return true;
}

Gdiplus::Image* Button::ImageOf(ButtonState shown)
{
    if (!images[shown] && imageIds[shown]) {
        SIZE size = {};
        images[shown] = Dpi::Resample(Dpi::LoadArt(imageIds[shown], dpi, size),
            SIZE{rect.right - rect.left, rect.bottom - rect.top});
    }
    return images[shown].get();
}

bool Button::AddListener(int eventId, CallbackBase* target, ButtonHandler handler)
{
    for (const ButtonListener& listener : listeners) {
        if (listener.eventId == eventId && listener.target == target && listener.handler == handler)
            return true;
    }
    listeners.push_back(ButtonListener{eventId, target, handler});
    return true;
}

bool Button::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // These change nothing on a button that is neither lit nor pressed.
    switch (message) {
    case WM_MOUSELEAVE:
        // The pointer left the window, for the page or for another window: nothing is lit.
        if (!pressed)
            Reset();
        return false;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // A press that lost the mouse to another window or to the system never clicks.
        Reset();
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            Reset();
        return false;
    default:
        break;
    }
    if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP)
        return false;

    POINT point = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    bool inside = PtInRect(&rect, point) != FALSE;
    switch (message) {
    case WM_MOUSEMOVE:
        state = inside ? Hover : Normal;
        break;
    case WM_LBUTTONDOWN:
        state = inside ? Pressed : Normal;
        pressed = inside;
        // The release comes here wherever it happens, so that one outside clicks nothing.
        if (pressed)
            SetCapture(window);
        break;
    default: {
        // The handler sees the button as it was at the release; it may destroy the window.
        bool click = inside && pressed;
        if (click)
            Notify(ButtonClick, 0);
        bool captured = pressed;
        pressed = false;
        state = Normal;
        if (captured && GetCapture() == window)
            ReleaseCapture();
        break;
    }
    }
    Redraw();
    return inside;
}

void Button::Reset()
{
    if (state == Normal && !pressed)
        return;
    pressed = false;
    state = Normal;
    Redraw();
}

void Button::SetFocusRing(bool shown)
{
    if (focusRing == shown)
        return;
    focusRing = shown;
    Redraw();
}

DWORD Button::AccessibleState() const
{
    DWORD flags = STATE_SYSTEM_FOCUSABLE;
    if (focusRing)
        flags |= STATE_SYSTEM_FOCUSED;
    if (state == Hover)
        flags |= STATE_SYSTEM_HOTTRACKED;
    if (state == Pressed)
        flags |= STATE_SYSTEM_PRESSED;
    return flags;
}

void Button::Draw(Gdiplus::Graphics* graphics)
{
    Gdiplus::Image* image = ImageOf(state);
    INT width = rect.right - rect.left;
    INT height = rect.bottom - rect.top;
    if (image)
        graphics->DrawImage(image, static_cast<INT>(rect.left), static_cast<INT>(rect.top), width, height);
    if (focusRing) {
        // Inside the button, whose rectangle is all that is drawn again when the ring moves on.
        Gdiplus::REAL ring = focusRingWidth * static_cast<Gdiplus::REAL>(dpi) / Dpi::design;
        Gdiplus::Pen pen(Gdiplus::Color(focusRingColour), ring);
        graphics->DrawRectangle(&pen, Gdiplus::RectF(rect.left + ring / 2, rect.top + ring / 2, width - ring,
                                          height - ring));
    }
}

void Button::Redraw()
{
    // Drawn only when the image under the button is about to change; the host presents what
    // its buttons drew once they have been offered the message.
    if ((state == drawnState && focusRing == drawnFocusRing) || !ImageOf(state))
        return;
    Gdiplus::Graphics* surface = host->Surface();
    if (surface) {
        // The image alone does not cover a ring drawn before it where the image is see-through.
        if (drawnFocusRing && !focusRing)
            host->RestoreUnder(rect);
        Draw(surface);
    }
    if (host->Drawn(*this)) {
        drawnState = state;
        drawnFocusRing = focusRing;
    }
}

void Button::Notify(int eventId, int parameter)
{
    // A handler may add listeners and so move the array: count and copy afresh every turn.
    for (size_t i = 0; i < listeners.size(); ++i) {
        ButtonListener listener = listeners[i];
        if (listener.eventId == eventId)
            (listener.target->*listener.handler)(eventId, this, parameter);
    }
}
