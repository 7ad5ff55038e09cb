#include "StandInWindow.h"

#include "ControlChannel.h"
#include "StandInBrowser.h"
#include "StandInLog.h"
#include "StandInModule.h"
#include "StandInSettings.h"

#include <exdispid.h>

namespace {

const COLORREF BackgroundColour = RGB(240, 248, 255);
const COLORREF TextColour = RGB(16, 32, 64);
const COLORREF FocusedFrameColour = RGB(0, 120, 215);
const COLORREF FrameColour = RGB(160, 160, 160);
const int FrameWidth = 4;

ATOM windowClass = 0;
const UINT_PTR SlowDocumentTimer = 0x5107;

void FillFrame(HDC dc, const RECT& client, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    RECT edges[4] = {
        {client.left, client.top, client.right, client.top + FrameWidth},
        {client.left, client.bottom - FrameWidth, client.right, client.bottom},
        {client.left, client.top, client.left + FrameWidth, client.bottom},
        {client.right - FrameWidth, client.top, client.right, client.bottom},
    };
    for (const RECT& edge : edges) {
        FillRect(dc, &edge, brush);
    }
    DeleteObject(brush);
}

void DrawLine(HDC dc, const wchar_t* text, int height, int weight, RECT& area, UINT format)
{
    HFONT font = CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    HGDIOBJ previous = SelectObject(dc, font);
    RECT measured = area;
    DrawTextW(dc, text, -1, &measured, format | DT_CALCRECT);
    DrawTextW(dc, text, -1, &area, format);
    area.top += measured.bottom - measured.top;
    SelectObject(dc, previous);
    DeleteObject(font);
}

}

StandInWindow::StandInWindow(StandInBrowser& owner)
    : owner(owner),
      handle(nullptr),
      focused(false),
      inTextField(false)
{
}

StandInWindow::~StandInWindow()
{
    Destroy();
}

bool StandInWindow::Create(HWND parent, const RECT& position)
{
    if (handle != nullptr) {
        return true;
    }
    if (windowClass == 0) {
        WNDCLASSEXW info = {};
        info.cbSize = sizeof(info);
        // Its frame follows its edges: a resize paints it all afresh.
        info.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        info.lpfnWndProc = WindowProc;
        info.hInstance = StandInModule::Instance();
        info.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
        info.lpszClassName = ControlChannel::WindowClass;
        windowClass = RegisterClassExW(&info);
    }
    CreateWindowExW(0, ControlChannel::WindowClass, owner.Address().c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, position.left, position.top,
        position.right - position.left, position.bottom - position.top, parent, nullptr, StandInModule::Instance(),
        this);
    return handle != nullptr;
}

void StandInWindow::Destroy()
{
    if (handle != nullptr) {
        DestroyWindow(handle);
    }
}

HWND StandInWindow::Handle() const
{
    return handle;
}

void StandInWindow::Move(const RECT& position)
{
    if (handle != nullptr) {
        MoveWindow(handle, position.left, position.top, position.right - position.left,
            position.bottom - position.top, TRUE);
    }
}

void StandInWindow::ShowAddress(const std::wstring& address)
{
    if (handle != nullptr) {
        SetWindowTextW(handle, address.c_str());
        InvalidateRect(handle, nullptr, TRUE);
    }
}

void StandInWindow::PostRaiseEvent()
{
    if (handle != nullptr) {
        PostMessageW(handle, RaiseEventMessage, 0, 0);
    }
}

void StandInWindow::StartSlowDocument(UINT delayMs)
{
    if (handle != nullptr) {
        SetTimer(handle, SlowDocumentTimer, delayMs, nullptr);
    }
}

void StandInWindow::UnregisterWindowClass()
{
    if (windowClass != 0) {
        ::UnregisterClassW(ControlChannel::WindowClass, StandInModule::Instance());
        windowClass = 0;
    }
}

LRESULT CALLBACK StandInWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        StandInWindow* self = static_cast<StandInWindow*>(create->lpCreateParams);
        self->handle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    StandInWindow* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle = nullptr;
        self->focused = false;
        StandInLog::Write(L"WindowDestroyed", L"obj=%u window=0x%08lx", self->owner.Serial(), HandleToUlong(window));
        self->owner.DropPendingEvents();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

// Handlers that call out to the host keep the object alive across the call and
// touch no member afterwards: the host may close and release the control meanwhile.
LRESULT StandInWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case RaiseEventMessage: {
        StandInBrowser& browser = owner;
        browser.AddRef();
        browser.RaiseNextEvent();
        browser.Release();
        return 0;
    }
    case WM_TIMER:
        if (wParam == SlowDocumentTimer) {
            KillTimer(handle, SlowDocumentTimer);
            owner.QueueSlowDocument();
            return 0;
        }
        break;
    case WM_COPYDATA:
        return HandleCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return StandInSettings::DialogCode();
    case WM_LBUTTONDOWN: {
        RECT client = {};
        GetClientRect(handle, &client);
        inTextField = static_cast<short>(HIWORD(lParam)) < client.bottom / 2;
        StandInLog::Write(L"Click", L"obj=%u x=%d y=%d field=%d", owner.Serial(), static_cast<short>(LOWORD(lParam)),
            static_cast<short>(HIWORD(lParam)), inTextField ? 1 : 0);
        HWND window = handle;
        StandInBrowser& browser = owner;
        browser.AddRef();
        SetFocus(window);
        browser.OleObject().UIActivate();
        browser.Release();
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        focused = message == WM_SETFOCUS;
        StandInLog::Write(L"Focus", L"obj=%u focused=%d", owner.Serial(), focused ? 1 : 0);
        InvalidateRect(handle, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        StandInLog::Write(L"Key", L"obj=%u msg=0x%04x key=0x%02lx", owner.Serial(), message,
            static_cast<unsigned long>(wParam));
        // Backspace deletes in a text field; elsewhere a key that reaches the page does nothing.
        if (message == WM_KEYDOWN && wParam == VK_BACK && inTextField) {
            StandInLog::Write(L"Edit", L"obj=%u key=0x%02lx", owner.Serial(), static_cast<unsigned long>(wParam));
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT StandInWindow::HandleCopyData(HWND replyWindow, const COPYDATASTRUCT* data)
{
    if (data == nullptr) {
        return FALSE;
    }
    std::wstring address;
    if (data->lpData != nullptr) {
        address.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    }
    switch (data->dwData) {
    case ControlChannel::NavigateRequest:
        StandInLog::Write(L"ControlNavigate", L"obj=%u url=%ls", owner.Serial(), address.c_str());
        owner.QueueNavigation(address, replyWindow);
        return TRUE;
    case ControlChannel::NewWindow3Request:
        StandInLog::Write(L"ControlNewWindow3", L"obj=%u url=%ls", owner.Serial(), address.c_str());
        owner.QueueNewWindow(DISPID_NEWWINDOW3, address, replyWindow);
        return TRUE;
    case ControlChannel::NewWindow2Request:
        StandInLog::Write(L"ControlNewWindow2", L"obj=%u", owner.Serial());
        owner.QueueNewWindow(DISPID_NEWWINDOW2, std::wstring(), replyWindow);
        return TRUE;
    case ControlChannel::WindowClosingRequest:
        StandInLog::Write(L"ControlWindowClosing", L"obj=%u", owner.Serial());
        owner.QueueWindowClosing(replyWindow);
        return TRUE;
    case ControlChannel::BeforeNavigateRequest:
        StandInLog::Write(L"ControlBeforeNavigate", L"obj=%u url=%ls", owner.Serial(), address.c_str());
        owner.QueueBeforeNavigate(address, replyWindow);
        return TRUE;
    case ControlChannel::SecurityProbeRequest:
        StandInLog::Write(L"ControlSecurityProbe", L"obj=%u actions=%ls", owner.Serial(), address.c_str());
        owner.QueueSecurityProbe(address, replyWindow);
        return TRUE;
    case ControlChannel::NavigateErrorRequest: {
        wchar_t* rest = nullptr;
        long status = wcstol(address.c_str(), &rest, 10);
        bool frame = wcstol(rest, &rest, 10) != 0;
        std::wstring target = *rest == L' ' ? std::wstring(rest + 1) : std::wstring(rest);
        StandInLog::Write(L"ControlNavigateError", L"obj=%u status=%ld frame=%d url=%ls", owner.Serial(), status,
            frame ? 1 : 0, target.c_str());
        owner.QueueNavigateError(target, status, frame, replyWindow);
        return TRUE;
    }
    case ControlChannel::CopyRequest:
        StandInLog::Write(L"ControlCopy", L"obj=%u", owner.Serial());
        owner.QueueCopy(address, replyWindow);
        return TRUE;
    case ControlChannel::StopRequest:
        StandInLog::Write(L"ControlStop", L"obj=%u", owner.Serial());
        owner.QueueStop(replyWindow);
        return TRUE;
    case ControlChannel::AlertRequest:
        StandInLog::Write(L"ControlAlert", L"obj=%u", owner.Serial());
        owner.QueueAlert(address, replyWindow);
        return TRUE;
    default:
        return FALSE;
    }
}

void StandInWindow::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle, &paint);
    RECT client;
    GetClientRect(handle, &client);
    HBRUSH background = CreateSolidBrush(BackgroundColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    FillFrame(dc, client, focused ? FocusedFrameColour : FrameColour);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColour);
    // The page is laid out at its zoom, as the control lays out a zoomed document.
    auto zoomed = [this](int value) { return static_cast<int>(value * owner.Zoom() / 100); };
    RECT area = {client.left + zoomed(16), client.top + zoomed(12), client.right - zoomed(16),
        client.bottom - zoomed(12)};
    wchar_t heading[64];
    _snwprintf(heading, 64, L"stand-in browser #%u%ls", owner.Serial(), focused ? L" (focused)" : L"");
    heading[63] = L'\0';
    DrawLine(dc, heading, zoomed(16), FW_NORMAL, area, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE);
    area.top += zoomed(8);
    const std::wstring& address = owner.Address();
    DrawLine(dc, address.empty() ? L"(no address)" : address.c_str(), zoomed(28), FW_BOLD, area,
        DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL);
    EndPaint(handle, &paint);
}
