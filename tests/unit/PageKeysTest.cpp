#include <gtest/gtest.h>

#include "webview/PageKeys.h"

namespace {

const LPARAM heldBefore = 1 << 30;

struct KeyCase {
    UINT message;
    WPARAM key;
    LPARAM keyData;
    bool control;
    bool alt;
    PageKeyAction action;
};

} // namespace

TEST(PageKeys, TypingStaysThePagesTheBrowsersShortcutsAreDroppedTheLaunchersKeysAreItsOwn)
{
    using A = PageKeyAction;
    const KeyCase cases[] = {
        // Typing and editing, also with AltGr (Ctrl+Alt), which types characters.
        {WM_KEYDOWN, 'S', 0, false, false, A::ToPage}, {WM_KEYDOWN, 'C', 0, true, false, A::ToPage},
        {WM_KEYDOWN, 'V', 0, true, false, A::ToPage}, {WM_KEYDOWN, 'L', 0, true, true, A::ToPage},
        {WM_KEYDOWN, VK_TAB, 0, false, false, A::ToPage}, {WM_KEYDOWN, VK_ESCAPE, 0, false, false, A::ToPage},
        {WM_KEYDOWN, VK_LEFT, 0, false, false, A::ToPage}, {WM_KEYDOWN, VK_HOME, 0, true, false, A::ToPage},
        {WM_CHAR, 'n', 0, true, false, A::ToPage}, {WM_KEYDOWN, VK_BACK, 0, false, false, A::TypeOnly},
        {WM_SYSKEYDOWN, VK_BACK, 0, false, true, A::TypeOnly},
        // The browser's shortcuts, pressed and released.
        {WM_KEYDOWN, 'N', 0, true, false, A::Drop}, {WM_KEYUP, 'N', 0, true, false, A::Drop},
        {WM_KEYDOWN, 'F', 0, true, false, A::Drop}, {WM_KEYDOWN, 'P', 0, true, false, A::Drop},
        {WM_KEYDOWN, 'O', 0, true, false, A::Drop}, {WM_KEYDOWN, 'L', 0, true, false, A::Drop},
        {WM_KEYDOWN, 'S', 0, true, false, A::Drop}, {WM_KEYDOWN, VK_F3, 0, false, false, A::Drop},
        {WM_KEYDOWN, VK_F7, 0, false, false, A::Drop}, {WM_SYSKEYDOWN, VK_LEFT, 0, false, true, A::Drop},
        {WM_SYSKEYUP, VK_RIGHT, 0, false, true, A::Drop}, {WM_SYSKEYDOWN, VK_HOME, 0, false, true, A::Drop},
        {WM_KEYDOWN, VK_BROWSER_BACK, 0, false, false, A::Drop},
        {WM_KEYDOWN, VK_BROWSER_FORWARD, 0, false, false, A::Drop},
        // The launcher's: F5 once per press, without the cache with Ctrl.
        {WM_KEYDOWN, VK_F5, 0, false, false, A::Refresh}, {WM_KEYDOWN, VK_F5, heldBefore, false, false, A::Drop},
        {WM_KEYUP, VK_F5, heldBefore, false, false, A::Drop}, {WM_KEYDOWN, VK_F5, 0, true, false, A::RefreshCompletely},
        {WM_KEYDOWN, VK_F6, 0, false, false, A::ToButtons}, {WM_KEYUP, VK_F6, 0, false, false, A::Drop},
        {WM_KEYUP, VK_F11, 0, false, false, A::ToWindow}, {WM_SYSKEYDOWN, VK_F4, 0, false, true, A::CloseWindow},
        {WM_KEYDOWN, VK_F4, 0, false, false, A::ToPage}, {WM_SYSKEYDOWN, VK_SPACE, 0, false, true, A::SystemMenu},
        {WM_KEYDOWN, VK_SPACE, 0, false, false, A::ToPage},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(PageKeys::Route(c.message, c.key, c.keyData, c.control, c.alt), c.action)
            << std::hex << c.message << " " << c.key << " ctrl=" << c.control << " alt=" << c.alt;
}
