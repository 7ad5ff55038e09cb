#include "InPlaceActiveObjectPart.h"

#include "StandInBrowser.h"
#include "StandInLog.h"
#include "StandInSettings.h"

namespace {

// Messages every loop passes many times a second; logging them would bury the rest.
bool IsNoise(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case WM_TIMER:
    case 0x0118:
    case WM_PAINT:
    case StandInWindow::RaiseEventMessage:
        return true;
    default:
        return false;
    }
}

// What the platform's browser does with its own shortcuts when its host leaves them to it:
// history, a new window of its own, its Open, Save, Print and Find dialogs, caret browsing.
// Modifiers: 0 none needed, 1 Ctrl alone, 2 Alt.
const wchar_t* BrowserShortcut(const MSG& message, bool inTextField)
{
    static const struct {
        WPARAM key;
        int modifiers;
        const wchar_t* action;
    } shortcuts[] = {{VK_BROWSER_BACK, 0, L"Back"}, {VK_BROWSER_FORWARD, 0, L"Forward"}, {VK_LEFT, 2, L"Back"},
        {VK_RIGHT, 2, L"Forward"}, {VK_F3, 0, L"Find"}, {VK_F7, 0, L"CaretBrowsing"}, {'N', 1, L"NewWindow"},
        {'O', 1, L"Open"}, {'L', 1, L"Open"}, {'S', 1, L"Save"}, {'P', 1, L"Print"}, {'F', 1, L"Find"}};
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return nullptr;
    }
    if (message.wParam == VK_BACK) {
        return inTextField ? nullptr : L"Back";
    }
    bool alt = GetKeyState(VK_MENU) < 0 || message.message == WM_SYSKEYDOWN;
    int held = alt ? 2 : GetKeyState(VK_CONTROL) < 0 ? 1 : 0;
    for (const auto& shortcut : shortcuts) {
        if (shortcut.key == message.wParam && (shortcut.modifiers == 0 || shortcut.modifiers == held)) {
            return shortcut.action;
        }
    }
    return nullptr;
}

}

InPlaceActiveObjectPart::InPlaceActiveObjectPart(StandInBrowser& owner)
    : OleWindowPart(owner)
{
}

// As an HTML control does: the host's IDocHostUIHandler is asked first; keys the control
// handles itself are its accelerators (as Tab moves between a page's fields), its browser shortcuts
// and F5, which reloads the page, unless the host took them. Everything else is left to the host's
// loop to translate and dispatch.
HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::TranslateAccelerator(LPMSG message)
{
    owner.CheckApartment(L"TranslateAccelerator");
    if (message == nullptr) {
        StandInLog::Write(L"TranslateAccelerator", L"obj=%u msg=null", owner.Serial());
        return E_INVALIDARG;
    }
    const wchar_t* handled = nullptr;
    bool keyDown = message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN;
    if (!IsNoise(message->message) && owner.OleObject().HostTranslatesAccelerator(message)) {
        handled = L"host";
    } else if (keyDown && StandInSettings::HandlesAccelerator(message->wParam)) {
        handled = L"control";
    } else if (const wchar_t* shortcut = BrowserShortcut(*message, owner.Window().InTextField())) {
        handled = L"browser";
        StandInLog::Write(L"BrowserShortcut", L"obj=%u action=%ls key=0x%02lx", owner.Serial(), shortcut,
            static_cast<unsigned long>(message->wParam));
    } else if (message->message == WM_KEYDOWN && message->wParam == VK_F5) {
        handled = L"own-refresh";
        StandInLog::Write(L"OwnRefresh", L"obj=%u url=%ls", owner.Serial(), owner.Address().c_str());
        owner.QueueDocumentComplete(nullptr);
    }
    if (!IsNoise(message->message)) {
        StandInLog::Write(L"TranslateAccelerator", L"obj=%u msg=0x%04x key=0x%02lx hwnd=0x%08lx handled=%ls",
            owner.Serial(), message->message, static_cast<unsigned long>(message->wParam),
            HandleToUlong(message->hwnd), handled != nullptr ? handled : L"0");
    }
    return handled != nullptr ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::OnFrameWindowActivate(WINBOOL activate)
{
    StandInLog::Write(L"FrameActivate", L"obj=%u active=%d", owner.Serial(), activate ? 1 : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::OnDocWindowActivate(WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::EnableModeless(WINBOOL)
{
    return S_OK;
}
