#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "PresentCounter.h"
#include "TestSupport.h"
#include "toolkit/ComPtr.h"
#include "version.h"
#include "windows/DefaultBrowser.h"
#include "windows/GameWind.h"
#include "windows/LoginWind.h"
#include "windows/OperatorAddresses.h"

namespace {

const wchar_t* const loginNames[] = {L"Official site", L"Recharge", L"Forum", L"Customer service", L"Minimise", L"Close"};

std::vector<std::wstring> opened;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    opened.push_back(file);
    return reinterpret_cast<HINSTANCE>(33);
}

// A login window whose buttons the keyboard can reach, closed at the end of the test.
class KeyboardLogin : public LoginWind {
public:
    KeyboardLogin()
    {
        opened.clear();
        SetShellExecuteEntryPoint(RecordShellExecute);
        Create();
        ShowWithPage();
    }
    ~KeyboardLogin() override
    {
        SetShellExecuteEntryPoint(nullptr);
        if (windowHandle)
            SendMessageW(windowHandle, WM_CLOSE, 0, 0);
        TakeQuitCode();
    }
    using SpecialWind::KeyboardToButtons;
    HWND Page() const { return WindManager::Instance()->GetWebViewWindow(webView); }
};

// What a screen reader gets for the window's client area.
HRESULT AccessibleOf(HWND window, ComPtr<IAccessible>& accessible)
{
    return AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), accessible.PutVoid());
}

VARIANT Id(long id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring NameOf(IAccessible* accessible, long id)
{
    BSTR name = nullptr;
    if (accessible->get_accName(Id(id), &name) != S_OK)
        return L"<none>";
    std::wstring text(name);
    SysFreeString(name);
    return text;
}

long StateOf(IAccessible* accessible, long id)
{
    VARIANT state;
    return accessible->get_accState(Id(id), &state) == S_OK ? state.lVal : -1;
}

// The child that has the focus ring; 0 when none has.
long Focused(IAccessible* accessible)
{
    long count = 0;
    accessible->get_accChildCount(&count);
    for (long id = 1; id <= count; ++id) {
        if (StateOf(accessible, id) & STATE_SYSTEM_FOCUSED)
            return id;
    }
    return 0;
}

// Events the windows raise for screen readers: event, object and child.
std::vector<std::vector<LONG>> announced;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD)
{
    announced.push_back({static_cast<LONG>(event), object, child});
}

void Key(HWND window, WPARAM key, bool shift = false)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(window, WM_KEYDOWN, key, 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

} // namespace

TEST(Accessibility, EachWindowNamesItsButtonsInOrderAtTheirPlacesAndPressesThem)
{
    KeyboardLogin login;
    HWND window = login.GetHandle();
    ComPtr<IAccessible> accessible;
    ASSERT_EQ(AccessibleOf(window, accessible), S_OK);
    EXPECT_EQ(NameOf(accessible.Get(), CHILDID_SELF), L"" LAUNCHER_PRODUCT_NAME);
    long count = 0;
    ASSERT_EQ(accessible->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 6);
    for (long id = 1; id <= count; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(NameOf(accessible.Get(), id), loginNames[id - 1]);
        VARIANT role;
        ASSERT_EQ(accessible->get_accRole(Id(id), &role), S_OK);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(StateOf(accessible.Get(), id), STATE_SYSTEM_FOCUSABLE);
        RECT rect = login.GetButtons()[id - 1]->GetRect();
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
        long left, top, width, height;
        ASSERT_EQ(accessible->accLocation(&left, &top, &width, &height, Id(id)), S_OK);
        EXPECT_TRUE(SameRect(RECT{left, top, left + width, top + height}, rect));
        VARIANT hit;
        ASSERT_EQ(accessible->accHitTest(left + width / 2, top + height / 2, &hit), S_OK);
        EXPECT_EQ(hit.lVal, id);
    }
    // The pointer on Forum lights it; its default action clicks it once the call has returned.
    RECT forum = login.GetButtons()[2]->GetRect();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(forum.left + 4, forum.top + 4));
    EXPECT_EQ(StateOf(accessible.Get(), 3), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
    BSTR action = nullptr;
    ASSERT_EQ(accessible->get_accDefaultAction(Id(3), &action), S_OK);
    EXPECT_STREQ(action, L"Press");
    SysFreeString(action);
    ASSERT_EQ(accessible->accDoDefaultAction(Id(3)), S_OK);
    EXPECT_TRUE(opened.empty());
    PumpMessages();
    EXPECT_EQ(opened, std::vector<std::wstring>{OperatorAddresses::forum});

    // Once the window is gone, a reference still held answers that its object is gone too.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(accessible->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(NameOf(accessible.Get(), 1), L"<none>");
}

TEST(Accessibility, TheGameWindowsTitleBarButtonsFollowTheMaximise)
{
    GameWind game(L"http://s1.kolv.ops.test/login.php", nullptr);
    game.Create();
    HWND window = game.GetHandle();
    ComPtr<IAccessible> accessible;
    ASSERT_EQ(AccessibleOf(window, accessible), S_OK);
    EXPECT_EQ(NameOf(accessible.Get(), 1), L"Minimise");
    EXPECT_EQ(NameOf(accessible.Get(), 2), L"Maximise");
    EXPECT_EQ(NameOf(accessible.Get(), 3), L"Close");
    EXPECT_EQ(NameOf(accessible.Get(), 4), L"<none>");

    // Pressed from the keyboard, Maximise maximises and is called Restore, at its new place.
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetFocus(window);
    Key(window, VK_TAB);
    Key(window, VK_TAB);
    EXPECT_EQ(Focused(accessible.Get()), 2);
    Key(window, VK_SPACE);
    EXPECT_TRUE(game.IsMaximized());
    EXPECT_EQ(NameOf(accessible.Get(), 2), L"Restore");
    long left, top, width, height;
    ASSERT_EQ(accessible->accLocation(&left, &top, &width, &height, Id(3)), S_OK);
    RECT screen;
    GetWindowRect(window, &screen);
    EXPECT_EQ(left + width, screen.right - 2);
    DestroyWindow(window);
    TakeQuitCode();
}

TEST(Accessibility, TheKeyboardMovesARingThroughTheButtonsWithOnePresentPerKey)
{
    KeyboardLogin login;
    HWND window = login.GetHandle();
    ComPtr<IAccessible> accessible;
    ASSERT_EQ(AccessibleOf(window, accessible), S_OK);
    PresentCounter presents;

    // F6 in the page (Shift+F6 here) brings the keyboard to the buttons, at the last of them.
    login.KeyboardToButtons(true);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(Focused(accessible.Get()), 6);
    EXPECT_EQ(presents.Take(), 1);
    VARIANT focus;
    ASSERT_EQ(accessible->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 6);

    struct Step {
        WPARAM key;
        bool shift;
        long focused;
    };
    // The ring's move is announced: the state of the button it leaves and of the one it reaches, then
    // the focus.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, RecordEvent,
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    announced.clear();
    Key(window, VK_TAB);
    // The hook is called while the thread looks at its messages; the page's are left waiting.
    MSG waiting;
    PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE);
    UnhookWinEvent(hook);
    EXPECT_EQ(announced, (std::vector<std::vector<LONG>>{{EVENT_OBJECT_STATECHANGE, OBJID_CLIENT, 6},
                             {EVENT_OBJECT_STATECHANGE, OBJID_CLIENT, 1}, {EVENT_OBJECT_FOCUS, OBJID_CLIENT, 1}}));
    Key(window, VK_TAB, true);
    presents.Take();

    const Step steps[] = {{VK_TAB, false, 1}, {VK_TAB, false, 2}, {VK_RIGHT, false, 3}, {VK_TAB, true, 2},
        {VK_LEFT, false, 1}, {VK_UP, false, 6}, {VK_DOWN, false, 1}, {VK_DOWN, false, 2}, {VK_DOWN, false, 3}};
    for (const Step& step : steps) {
        Key(window, step.key, step.shift);
        EXPECT_EQ(Focused(accessible.Get()), step.focused) << step.key;
        EXPECT_EQ(presents.Take(), 1) << step.key;
    }

    // Enter and Space click the button with the ring, once per press, and draw nothing.
    Key(window, VK_RETURN);
    SendMessageW(window, WM_KEYDOWN, VK_RETURN, 1 | (1 << 30));
    Key(window, VK_LEFT);
    presents.Take();
    Key(window, VK_SPACE);
    Key(window, VK_LEFT);
    Key(window, VK_RETURN);
    EXPECT_EQ(opened, (std::vector<std::wstring>{OperatorAddresses::forum, OperatorAddresses::recharge, OperatorAddresses::officialSite}));
    EXPECT_EQ(presents.Take(), 1);

    // Escape gives the keyboard back to the page and takes the ring away.
    Key(window, VK_ESCAPE);
    EXPECT_EQ(Focused(accessible.Get()), 0);
    EXPECT_EQ(presents.Take(), 1);
    EXPECT_EQ(GetForegroundWindow(), login.Page());

    // A click of the mouse leaves no ring behind.
    login.KeyboardToButtons(false);
    EXPECT_EQ(Focused(accessible.Get()), 1);
    RECT recharge = login.GetButtons()[1]->GetRect();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(recharge.left + 4, recharge.top + 4));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(recharge.left + 4, recharge.top + 4));
    EXPECT_EQ(Focused(accessible.Get()), 0);
    EXPECT_EQ(opened.back(), OperatorAddresses::recharge);
}
