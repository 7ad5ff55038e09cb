// A window's buttons in their order, with the pointer, the keyboard's focus ring and screen readers.
#pragma once

#include <windows.h>

#include <vector>

#include "windows/ButtonHost.h"

class LayeredSurface;

// The window offers it every message first. Its buttons draw on the window's surface through it,
// or, without one, are painted by the window; what they drew is presented once per message.
class ButtonPanel : public ButtonHost {
public:
    enum Outcome {
        NotTaken,
        Taken,
        // Escape or F6 on the ring: the ring is gone, and the keyboard goes back to the page.
        KeyboardToPage,
    };

    explicit ButtonPanel(LayeredSurface* surface);
    ButtonPanel(const ButtonPanel&) = delete;
    ButtonPanel& operator=(const ButtonPanel&) = delete;

    // The window the buttons lie on, once it exists.
    void SetWindow(HWND handle) { window = handle; }

    // The buttons shown, in the order the keyboard and screen readers go through them.
    void SetButtons(std::vector<Button*> shown);
    const std::vector<Button*>& Buttons() const { return buttons; }
    // Gives a shown button another name, and tells screen readers.
    void Rename(Button* button, const wchar_t* name);
    // A shown button's id for screen readers: its place in the order, from 1; 0 for another.
    LONG ChildId(const Button* button) const;

    // Offers a message to the buttons until one takes it, and the window's keys to the focus
    // ring; what they drew is presented once.
    Outcome Offer(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    // Clicks the button at a place in the order once the current message is handled, as a click
    // of the mouse does. False when there is no such button or no window.
    bool PressLater(int index);
    // F6 in the page: the keyboard goes to the first button, or with Shift to the last.
    void TakeKeyboard(bool last);
    // Whether the buttons have the keyboard: one of them shows the focus ring.
    bool HasKeyboard() const { return focusIndex >= 0; }
    // Every button drawn again as it is, on a surface drawn afresh.
    void RedrawAll();

    Gdiplus::Graphics* Surface() override;
    void RestoreUnder(const RECT& area) override;
    bool Drawn(const Button& button) override;

private:
    Outcome OfferKey(WPARAM key, LPARAM lParam);
    // Moves the ring to a place in the order; -1 takes it away.
    void FocusAt(int index);
    void AnnounceFocus();
    void PresentChanges();

    HWND window;
    LayeredSurface* surface;
    std::vector<Button*> buttons;
    int focusIndex;
};
