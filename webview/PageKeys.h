// What a key typed in a page does in the launcher.
#pragma once

#include <windows.h>

// A launcher keeps the page's typing and editing and its own keys, and drops the browser's
// shortcuts: they would take the player away from the game page (history, home), open a browser
// window of the control's own or show its dialogs (open, save, print, find, caret browsing).
enum class PageKeyAction {
    // Offered to the control's accelerators (moving between fields, select all, copy, paste),
    // then typed into the page.
    ToPage,
    // Typed into the page without the control's accelerators: Backspace edits a text field and
    // does not go back in the page's history.
    TypeOnly,
    Drop,
    Refresh,
    // Reloads without the cache: the remedy for a game whose old scripts are cached.
    RefreshCompletely,
    // The keyboard moves to the window's buttons (F6).
    ToButtons,
    // Handled by the launcher window itself (F11).
    ToWindow,
    CloseWindow,
    SystemMenu,
};

class PageKeys {
public:
    // The action for a key message; control and alt tell whether those keys are held (Ctrl with
    // Alt is AltGr, which types characters). Character messages are the page's.
    static PageKeyAction Route(UINT message, WPARAM key, LPARAM keyData, bool control, bool alt);
    // The same with the modifiers of the thread's key state, for the message being handled.
    static PageKeyAction RouteNow(const MSG& message);
};
