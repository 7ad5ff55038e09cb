// Offers a window's messages to its buttons, keeps the focus ring and tells screen readers.
#include "windows/ButtonPanel.h"

#include "toolkit/Keys.h"
#include "toolkit/LayeredSurface.h"
#include "windows/Button.h"
#include "windows/PrivateMessages.h"

ButtonPanel::ButtonPanel(LayeredSurface* windowSurface)
    : window(nullptr)
    , surface(windowSurface)
    , focusIndex(-1)
{
}

void ButtonPanel::SetButtons(std::vector<Button*> shown)
{
    Button* focused = focusIndex >= 0 ? buttons[focusIndex] : nullptr;
    buttons = std::move(shown);
    focusIndex = -1;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == focused)
            focusIndex = static_cast<int>(i);
    }
    // A button that is no longer shown loses the ring; the window keeps the keyboard.
    if (focused && focusIndex < 0)
        focused->SetFocusRing(false);
    if (window)
        NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

LONG ButtonPanel::ChildId(const Button* button) const
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == button)
            return static_cast<LONG>(i + 1);
    }
    return 0;
}

void ButtonPanel::Rename(Button* button, const wchar_t* name)
{
    button->SetName(name);
    LONG id = ChildId(button);
    if (window && id)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, id);
}

bool ButtonPanel::PressLater(int index)
{
    if (!window || index < 0 || static_cast<size_t>(index) >= buttons.size())
        return false;
    return PostMessageW(window, PrivateMessages::pressButton, reinterpret_cast<WPARAM>(buttons[index]), 0);
}

ButtonPanel::Outcome ButtonPanel::Offer(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Outcome outcome = NotTaken;
    switch (message) {
    case PrivateMessages::pressButton: {
        Button* button = reinterpret_cast<Button*>(wParam);
        if (ChildId(button))
            button->Notify(ButtonClick, 0);
        return Taken;
    }
    case WM_KEYDOWN:
        outcome = OfferKey(wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The mouse leaves no focus ring behind.
        FocusAt(-1);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            FocusAt(-1);
        break;
    default:
        break;
    }
    for (size_t i = 0; i < buttons.size() && outcome == NotTaken; ++i) {
        if (buttons[i]->HandleMessage(handle, message, wParam, lParam))
            outcome = Taken;
    }
    // While a button is lit the window is told when the pointer leaves it, so that the button
    // does not stay lit; otherwise it asks for nothing (Wine polls the pointer while it tracks).
    // Asked at every move: the thread tracks one window at a time, and the page's control may
    // have asked since.
    if (message == WM_MOUSEMOVE) {
        bool lit = false;
        for (Button* button : buttons)
            lit = lit || button->GetState() != Normal;
        TRACKMOUSEEVENT track = {sizeof(track), static_cast<DWORD>(TME_LEAVE | (lit ? 0 : TME_CANCEL)), handle, 0};
        TrackMouseEvent(&track);
    }
    PresentChanges();
    return outcome;
}

ButtonPanel::Outcome ButtonPanel::OfferKey(WPARAM key, LPARAM lParam)
{
    int count = static_cast<int>(buttons.size());
    if (count == 0)
        return NotTaken;
    bool back = GetKeyState(VK_SHIFT) < 0;
    if (focusIndex < 0) {
        // The window has the keyboard without a page to give it to (its notice shows, or its
        // title bar was clicked): Tab and F6 bring the ring.
        if (key != VK_TAB && key != VK_F6)
            return NotTaken;
        FocusAt(back ? count - 1 : 0);
        return Taken;
    }
    switch (key) {
    case VK_TAB:
        FocusAt((focusIndex + (back ? count - 1 : 1)) % count);
        return Taken;
    case VK_RIGHT:
    case VK_DOWN:
        FocusAt((focusIndex + 1) % count);
        return Taken;
    case VK_LEFT:
    case VK_UP:
        FocusAt((focusIndex + count - 1) % count);
        return Taken;
    case VK_RETURN:
    case VK_SPACE:
        // One click per press, however long the key is held. The click may destroy the window.
        if (IsFirstPress(lParam))
            buttons[focusIndex]->Notify(ButtonClick, 0);
        return Taken;
    case VK_ESCAPE:
    case VK_F6:
        FocusAt(-1);
        return KeyboardToPage;
    default:
        return NotTaken;
    }
}

void ButtonPanel::FocusAt(int index)
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

void ButtonPanel::AnnounceFocus()
{
    if (focusIndex >= 0 && window && GetFocus() == window)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, focusIndex + 1);
}

void ButtonPanel::TakeKeyboard(bool last)
{
    if (buttons.empty())
        return;
    // The ring comes first, so that the activation below leaves the keyboard with the buttons.
    FocusAt(last ? static_cast<int>(buttons.size()) - 1 : 0);
    SetForegroundWindow(window);
    SetFocus(window);
    // Announced once the window has the keyboard, after the system has announced the window.
    AnnounceFocus();
    PresentChanges();
}

void ButtonPanel::RedrawAll()
{
    for (Button* button : buttons)
        button->Redraw();
}

Gdiplus::Graphics* ButtonPanel::Surface()
{
    return surface->Graphics();
}

void ButtonPanel::RestoreUnder(const RECT& area)
{
    surface->RedrawSkin(area);
}

bool ButtonPanel::Drawn(const Button& button)
{
    LONG id = ChildId(&button);
    if (window && id)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, id);
    RECT rect = button.GetRect();
    if (surface->Graphics()) {
        surface->Changed(rect);
        return true;
    }
    // A window that paints itself draws the button at its next WM_PAINT, and only it; before the
    // window exists there is nothing to repaint (a null window would mean every window).
    return window && InvalidateRect(window, &rect, FALSE);
}

void ButtonPanel::PresentChanges()
{
    surface->PresentChanges();
}
