#include "HostWindow.h"

#include "HostEventSink.h"
#include "HostSite.h"

#include "../ctl/ConsoleOutput.h"
#include "../standin/ComPointers.h"

namespace {

const wchar_t ClassName[] = L"StandInTestHost";

std::wstring Result(HRESULT result)
{
    return ConsoleOutput::Hex(static_cast<unsigned long>(result));
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[64] = L"";
    StringFromGUID2(guid, text, 64);
    return text;
}

}

HostWindow::HostWindow()
    : window(nullptr),
      site(nullptr),
      oleObject(nullptr),
      browser(nullptr),
      inPlaceObject(nullptr),
      activeObject(nullptr),
      connectionPoint(nullptr)
{
}

HostWindow::~HostWindow()
{
    Close();
}

bool HostWindow::Create(const RECT& position)
{
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    info.lpfnWndProc = WindowProc;
    info.hInstance = GetModuleHandleW(nullptr);
    info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    info.lpszClassName = ClassName;
    RegisterClassExW(&info);
    window = CreateWindowExW(0, ClassName, L"stand-in test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
        position.left, position.top, position.right - position.left, position.bottom - position.top, nullptr, nullptr,
        info.hInstance, this);
    ConsoleOutput::Line(L"host window=" + ConsoleOutput::Handle(window));
    return window != nullptr;
}

bool HostWindow::Embed(int sinkCount, bool cancelAnswer, const std::wstring& closePattern, const std::wstring& address)
{
    CLSID clsid = CLSID_NULL;
    HRESULT result = CLSIDFromProgID(L"shell.Explorer.2", &clsid);
    ConsoleOutput::Line(L"host progid-clsid=" + GuidText(clsid) + L"\thr=" + Result(result));
    result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
        reinterpret_cast<void**>(&oleObject));
    ConsoleOutput::Line(L"host create hr=" + Result(result));
    if (FAILED(result) || oleObject == nullptr) {
        return false;
    }
    CLSID userClass = CLSID_NULL;
    oleObject->GetUserClassID(&userClass);
    ConsoleOutput::Line(L"host user-class=" + GuidText(userClass));

    site = new HostSite(window);
    IOleClientSite* clientSite = nullptr;
    site->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&clientSite));
    oleObject->SetClientSite(clientSite);
    RECT client;
    GetClientRect(window, &client);
    result = oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, window, &client);
    clientSite->Release();
    ConsoleOutput::Line(L"host doverb hr=" + Result(result));

    oleObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
    oleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject));
    oleObject->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&activeObject));
    IConnectionPointContainer* container = nullptr;
    oleObject->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (browser == nullptr || container == nullptr) {
        ReleaseAndClear(container);
        return false;
    }
    container->FindConnectionPoint(DIID_DWebBrowserEvents2, &connectionPoint);
    container->Release();
    if (connectionPoint == nullptr) {
        return false;
    }
    for (int number = 1; number <= sinkCount; ++number) {
        HostEventSink* sink = new HostEventSink(*this, number, cancelAnswer, closePattern);
        DWORD cookie = 0;
        if (SUCCEEDED(connectionPoint->Advise(sink, &cookie))) {
            cookies.push_back(cookie);
        }
        sink->Release();
    }

    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocString(address.c_str());
    result = browser->Navigate2(&url, nullptr, nullptr, nullptr, nullptr);
    VariantClear(&url);
    ConsoleOutput::Line(L"host navigate2 hr=" + Result(result));
    return true;
}

bool HostWindow::IsControl(IDispatch* sender) const
{
    if (sender == nullptr || oleObject == nullptr) {
        return false;
    }
    IUnknown* control = nullptr;
    IUnknown* identity = nullptr;
    oleObject->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&control));
    sender->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    bool same = control != nullptr && control == identity;
    ReleaseAndClear(control);
    ReleaseAndClear(identity);
    return same;
}

void HostWindow::Close()
{
    if (connectionPoint != nullptr) {
        for (DWORD cookie : cookies) {
            connectionPoint->Unadvise(cookie);
        }
        cookies.clear();
        ReleaseAndClear(connectionPoint);
    }
    if (oleObject != nullptr) {
        oleObject->Close(OLECLOSE_NOSAVE);
        oleObject->SetClientSite(nullptr);
    }
    ReleaseAndClear(activeObject);
    ReleaseAndClear(inPlaceObject);
    ReleaseAndClear(browser);
    ReleaseAndClear(oleObject);
    ReleaseAndClear(site);
    if (window != nullptr) {
        HWND closing = window;
        window = nullptr;
        ConsoleOutput::Line(L"host closed");
        DestroyWindow(closing);
    }
}

int HostWindow::Run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window != nullptr && IsDialogMessageW(window, &message)) {
            if (activeObject != nullptr) {
                activeObject->TranslateAccelerator(&message);
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    HostWindow* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (self != nullptr && self->inPlaceObject != nullptr) {
            RECT client;
            GetClientRect(window, &client);
            self->inPlaceObject->SetObjectRects(&client, &client);
        }
        return 0;
    case WM_CLOSE:
        if (self != nullptr) {
            self->Close();
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
