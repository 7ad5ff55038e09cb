// An image button drawn on a window that offers it its messages.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "toolkit/CallbackBase.h"
#include "toolkit/WindManager.h"
#include "windows/ButtonHost.h"

class Button;

enum ButtonState {
    Normal = 0,
    Hover = 1,
    Pressed = 2,
};

// The one event a button fires, with parameter 0.
const int ButtonClick = 0;

typedef void (CallbackBase::*ButtonHandler)(int eventId, Button* sender, int parameter);

struct ButtonListener {
    int eventId;
    CallbackBase* target;
    ButtonHandler handler;
};

// An image button. It is not a window: its window offers it every message, and it answers whether
// a mouse message's point lies on it. It draws through its host.
class Button : public CallbackBase {
public:
    explicit Button(ButtonHost* host);

    // The top-left corner in 96-DPI design units, from an anchor in pixels (the window's corner
    // unless given): the button's edges are the design edges scaled to its DPI.
    void SetPosition(int x, int y, POINT anchor = POINT{0, 0});
    // The DPI the button is drawn at; its images are loaded again for it.
    void SetScale(int newDpi);
    // Normal, hover and pressed PNG resources; all three load or nothing changes.
    bool SetImages(int normal, int hover, int pressed);
    // An identical registration is kept once.
    bool AddListener(int eventId, CallbackBase* target, ButtonHandler handler);

    // Mouse messages on the button; a leave, a lost capture or a lost activation returns it to
    // normal. True when a mouse message's point lies on the button.
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Draw(Gdiplus::Graphics* graphics);
    // Draws onto the host's surface and tells the host, but only when the image shown or its focus
    // ring changes.
    void Redraw();
    void Notify(int eventId, int parameter);
    // Back to normal and not pressed, drawn if that changes the image.
    void Reset();
    // The keyboard's focus ring, drawn over the image; removing it restores the skin beneath.
    void SetFocusRing(bool shown);
    bool HasFocusRing() const { return focusRing; }

    // What screen readers call the button.
    void SetName(const wchar_t* accessibleName) { name = accessibleName; }
    const wchar_t* GetName() const { return name; }
    // STATE_SYSTEM_ flags: focusable always, and hot-tracked, pressed and focused as the button is.
    DWORD AccessibleState() const;

    ButtonState GetState() const { return state; }
    bool IsPressed() const { return pressed; }
    RECT GetRect() const { return rect; }

private:
    // The image of a state, decoded on its first use: only the normal ones are needed to show a
    // window, and decoding the others waits until the pointer first reaches the button.
    Gdiplus::Image* ImageOf(ButtonState shown);
    // The rectangle of the design place and size at the button's DPI.
    void Layout();

    ButtonState state;
    RECT rect;
    bool pressed;
    ImagePtr images[3];
    WORD imageIds[3];
    ButtonHost* host;
    std::vector<ButtonListener> listeners;
    // The image last drawn through the host; -1 before the first.
    int drawnState;
    bool focusRing;
    bool drawnFocusRing;
    const wchar_t* name;
    int dpi;
    POINT designOrigin;
    POINT anchor;
    // The normal image's size at 96 DPI.
    SIZE designSize;
};
