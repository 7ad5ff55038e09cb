// The host window classes and the calls that create and query the control they hold.
#include "webview/AxHostWindow.h"

#include <new>

#include "webview/AxHost.h"

namespace {

const wchar_t hostClassName[] = L"AtlAxWin80";
// The licensed variant: no control hosted here needs a licence key, so it is the same window.
const wchar_t licensedHostClassName[] = L"AtlAxWinLic80";

UINT getHostMessage = 0;
UINT getControlMessage = 0;

bool RegisterHostClass(HINSTANCE module, const wchar_t* name)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(module, name, &existing))
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = AxHostWindow::WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

// The host object of a window of ours, with a reference for the caller, or null.
AxHost* HostOf(HWND hostWindow)
{
    if (!hostWindow || !getHostMessage)
        return nullptr;
    return reinterpret_cast<AxHost*>(SendMessageW(hostWindow, getHostMessage, 0, 0));
}

} // namespace

bool AtlAxWinInit()
{
    getHostMessage = RegisterWindowMessageW(L"WM_ATLGETHOST");
    getControlMessage = RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    HINSTANCE module = GetModuleHandleW(nullptr);
    bool host = RegisterHostClass(module, hostClassName);
    bool licensedHost = RegisterHostClass(module, licensedHostClassName);
    return host && licensedHost && getHostMessage && getControlMessage;
}

HRESULT AxCreateControl(HWND hostWindow, const wchar_t* progId)
{
    AxHost* host = HostOf(hostWindow);
    if (!host)
        return E_FAIL;
    HRESULT result = host->CreateControl(progId);
    host->Release();
    return result;
}

HRESULT AxQueryControl(HWND hostWindow, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!hostWindow || !getControlMessage)
        return E_FAIL;
    auto* control = reinterpret_cast<IUnknown*>(SendMessageW(hostWindow, getControlMessage, 0, 0));
    if (!control)
        return E_FAIL;
    HRESULT result = control->QueryInterface(iid, object);
    control->Release();
    return result;
}

bool AxInModalUi(HWND hostWindow)
{
    AxHost* host = HostOf(hostWindow);
    if (!host)
        return false;
    bool modal = host->InModalUi();
    host->Release();
    return modal;
}

void AxListenToModalUi(HWND hostWindow, std::function<void(bool)> listener)
{
    AxHost* host = HostOf(hostWindow);
    if (!host)
        return;
    host->SetModalUiListener(std::move(listener));
    host->Release();
}

AxHostWindow::AxHostWindow(HWND window)
    : window(window)
    , host(nullptr)
    , oleInitialized(false)
{
}

LRESULT CALLBACK AxHostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<AxHostWindow*>(GetWindowLongPtrW(window, 0));
    if (!self && message == WM_NCCREATE) {
        self = new (std::nothrow) AxHostWindow(window);
        if (!self)
            return FALSE;
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        delete self;
    }
    return result;
}

LRESULT AxHostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // S_FALSE (already initialised on this thread) counts as well: it too must be balanced.
        oleInitialized = SUCCEEDED(OleInitialize(nullptr));
        host = AxHost::Create(window);
        return host ? 0 : -1;
    case WM_DESTROY:
        if (host) {
            host->DestroyControl();
            host->Release();
            host = nullptr;
        }
        break;
    case WM_NCDESTROY: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (oleInitialized) {
            oleInitialized = false;
            OleUninitialize();
        }
        return result;
    }
    case WM_SIZE:
        if (host)
            host->FitControl();
        return 0;
    case WM_SETFOCUS:
        if (host)
            host->FocusControl();
        return 0;
    case WM_SHOWWINDOW:
        // The window that shows the page hides and shows it with its own minimise and restore, and
        // knows whether it is to be seen (not while a notice stands in for it). Left to the default
        // processing, the system would hide it behind the window's back, and show it again anyway.
        if (lParam == SW_PARENTCLOSING || lParam == SW_PARENTOPENING)
            return 0;
        break;
    case WM_ACTIVATE:
        if (host)
            host->OnFrameActivate(LOWORD(wParam) != WA_INACTIVE);
        break;
    default:
        if (message == getHostMessage && getHostMessage && host) {
            host->AddRef();
            return reinterpret_cast<LRESULT>(host);
        }
        if (message == getControlMessage && getControlMessage && host)
            return reinterpret_cast<LRESULT>(host->GetControl());
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
