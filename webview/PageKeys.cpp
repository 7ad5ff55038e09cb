// Sorts the keys typed in a page into the page's, the launcher's and the dropped ones.
#include "webview/PageKeys.h"

#include "toolkit/Keys.h"

namespace {

// With Ctrl alone: new window, find, print, open (O and L), save as.
bool IsDroppedControlKey(WPARAM key)
{
    return key == 'N' || key == 'F' || key == 'P' || key == 'O' || key == 'L' || key == 'S';
}

} // namespace

PageKeyAction PageKeys::Route(UINT message, WPARAM key, LPARAM keyData, bool control, bool alt)
{
    bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (!keyDown && message != WM_KEYUP && message != WM_SYSKEYUP)
        return PageKeyAction::ToPage;
    switch (key) {
    case VK_F5:
        // One reload per press: neither the release nor the repeats of a held key reload again.
        if (!keyDown || !IsFirstPress(keyData))
            return PageKeyAction::Drop;
        return control ? PageKeyAction::RefreshCompletely : PageKeyAction::Refresh;
    case VK_F6:
        return message == WM_KEYDOWN ? PageKeyAction::ToButtons : PageKeyAction::Drop;
    case VK_F11:
        return message == WM_KEYDOWN || message == WM_KEYUP ? PageKeyAction::ToWindow : PageKeyAction::ToPage;
    case VK_F4:
        return message == WM_SYSKEYDOWN ? PageKeyAction::CloseWindow : PageKeyAction::ToPage;
    case VK_SPACE:
        return message == WM_SYSKEYDOWN ? PageKeyAction::SystemMenu : PageKeyAction::ToPage;
    case VK_BACK:
        return PageKeyAction::TypeOnly;
    case VK_F3:
    case VK_F7:
    case VK_BROWSER_BACK:
    case VK_BROWSER_FORWARD:
    case VK_BROWSER_REFRESH:
    case VK_BROWSER_STOP:
    case VK_BROWSER_SEARCH:
    case VK_BROWSER_FAVORITES:
    case VK_BROWSER_HOME:
        return PageKeyAction::Drop;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
        return alt && !control ? PageKeyAction::Drop : PageKeyAction::ToPage;
    default:
        return control && !alt && IsDroppedControlKey(key) ? PageKeyAction::Drop : PageKeyAction::ToPage;
    }
}

PageKeyAction PageKeys::RouteNow(const MSG& message)
{
    // A system key message says whether Alt is down in its context bit.
    const LPARAM altContext = 1 << 29;
    bool alt = GetKeyState(VK_MENU) < 0 || (message.lParam & altContext);
    return Route(message.message, message.wParam, message.lParam, GetKeyState(VK_CONTROL) < 0, alt);
}
