#include "WebViewProbe.h"

#include <ole2.h>

#include <cwchar>

#include "../ctl/ConsoleOutput.h"
#include "toolkit/WindManager.h"

namespace {

const wchar_t quitMark[] = L"/quit";
const int viewWidth = 400;
const int viewHeight = 300;
const DWORD eventTimeoutMs = 10000;
const DWORD viewsTimeoutMs = 60000;
const DWORD releaseTimeoutMs = 20000;

const int exitCreateFailed = 2;
const int exitNoEvent = 3;
const int exitNotReleased = 4;
const int exitDestroyedViewReturned = 5;

const wchar_t* BindingName(WebViewProbe::Binding binding)
{
    switch (binding) {
    case WebViewProbe::AnswerTrue:
        return L"true";
    case WebViewProbe::AnswerFalse:
        return L"false";
    default:
        return L"unbound";
    }
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

void Step(const std::wstring& name, const std::wstring& details = std::wstring())
{
    ConsoleOutput::Line(L"step\tname=" + name + (details.empty() ? L"" : L"\t" + details));
}

// Whether this thread is in no COM apartment, asked without leaving it changed.
bool NoApartment()
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (result == RPC_E_CHANGED_MODE)
        return false;
    CoUninitialize();
    return result == S_OK;
}

} // namespace

bool WebViewProbe::OnEvent(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url, long)
{
    return static_cast<WebViewProbe*>(owner)->HandleEvent(kind, webView, url);
}

bool WebViewProbe::HandleEvent(WebViewEvent kind, WebView* webView, const wchar_t* url)
{
    // Records of destroyed web views may be reused by later ones: only live views are looked at.
    View* view = nullptr;
    for (View& candidate : views) {
        if (candidate.webView && candidate.webView == webView)
            view = &candidate;
    }
    bool answer = view && view->binding == AnswerTrue;
    ConsoleOutput::Line(L"callback\tview=" + std::to_wstring(view ? view->number : 0) + L"\tkind="
        + std::to_wstring(static_cast<int>(kind)) + L"\tanswer=" + (answer ? L"1" : L"0") + L"\turl="
        + ConsoleOutput::Escape(url));
    if (kind == DocumentComplete)
        ++documentCompletes;
    if (kind == NavigateComplete && wcsstr(url, quitMark))
        quitRequested = true;
    if (kind != NavigateComplete)
        return answer;
    int destroyed = 0;
    if (view && destroyOnNavigate) {
        destroyed = view->number;
        DestroyView(*view);
    } else if (!view && creating) {
        // The web view CreateWebView has not returned yet: only the callback knows it.
        WindManager::Instance()->DestroyWebView(webView);
        ++destroyedWhileCreating;
    } else {
        return answer;
    }
    // The control raising this event runs on: its apartment, and with it its module, must stay.
    Step(L"destroyed-in-event",
        L"view=" + std::to_wstring(destroyed) + L"\tapartment=" + (NoApartment() ? L"0" : L"1"));
    return answer;
}

int WebViewProbe::AddView(Binding binding, const std::wstring& url, int slot)
{
    View view = {static_cast<int>(views.size()) + 1, nullptr, binding};
    bool bound = binding != Unbound;
    view.webView = WindManager::Instance()->CreateWebView(20 + slot * (viewWidth + 20), 40, viewWidth, viewHeight,
        nullptr, url.c_str(), bound ? this : nullptr, bound ? &WebViewProbe::OnEvent : nullptr);
    HWND host = WindManager::Instance()->GetWebViewWindow(view.webView);
    // As the windows do once they are shown themselves.
    ShowWindow(host, SW_SHOWNA);
    Step(L"created", L"view=" + std::to_wstring(view.number) + L"\tbinding=" + BindingName(binding) + L"\thwnd="
        + ConsoleOutput::Handle(host) + L"\tclass=" + ClassOf(host) + L"\turl=" + ConsoleOutput::Escape(url));
    views.push_back(view);
    if (!host) {
        DestroyView(views.back());
        return -1;
    }
    return static_cast<int>(views.size()) - 1;
}

void WebViewProbe::DestroyView(View& view)
{
    // The record is dropped here, as every caller of DestroyWebView must.
    WebView* webView = view.webView;
    view.webView = nullptr;
    WindManager::Instance()->DestroyWebView(webView);
}

void WebViewProbe::DestroyAll()
{
    for (View& view : views) {
        if (view.webView) {
            DestroyView(view);
            Step(L"destroyed", L"view=" + std::to_wstring(view.number));
        }
    }
}

bool WebViewProbe::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    // A thread timer wakes GetMessageW now and then, so the condition and the deadline are
    // looked at also when nothing else happens.
    UINT_PTR tick = SetTimer(nullptr, 0, 10, nullptr);
    DWORD start = GetTickCount();
    bool met = done();
    MSG message;
    while (!met && GetTickCount() - start < timeoutMs && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        met = done();
    }
    KillTimer(nullptr, tick);
    return met;
}

bool WebViewProbe::Finish()
{
    DestroyAll();
    bool released = PumpUntil(NoApartment, releaseTimeoutMs);
    Step(released ? L"released" : L"not-released");
    return released;
}

int WebViewProbe::RunViews(const std::vector<ViewRequest>& requests)
{
    for (const ViewRequest& request : requests) {
        if (AddView(request.binding, request.url, static_cast<int>(views.size())) < 0)
            return exitCreateFailed;
    }
    Step(L"ready");
    bool quit = PumpUntil([this] { return quitRequested; }, viewsTimeoutMs);
    if (!quit)
        Step(L"timeout");
    if (!Finish())
        return exitNotReleased;
    return quit ? 0 : exitNoEvent;
}

int WebViewProbe::RunCycles(int cycles, const std::wstring& baseUrl)
{
    destroyOnNavigate = true;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        int index = AddView(AnswerFalse, baseUrl + L"?cycle=" + std::to_wstring(cycle), 0);
        if (index < 0)
            return exitCreateFailed;
        if (!PumpUntil([this, index] { return views[index].webView == nullptr; }, eventTimeoutMs)) {
            Step(L"timeout", L"view=" + std::to_wstring(views[index].number));
            Finish();
            return exitNoEvent;
        }
    }
    Step(L"cycles-done", L"cycles=" + std::to_wstring(cycles));
    return Finish() ? 0 : exitNotReleased;
}

int WebViewProbe::RunDestroyInCreate(const std::wstring& url)
{
    creating = true;
    WebView* webView = WindManager::Instance()->CreateWebView(20, 40, viewWidth, viewHeight, nullptr, url.c_str(),
        this, &WebViewProbe::OnEvent);
    creating = false;
    // Only compared: what a callback destroyed must not be touched again.
    Step(L"created", std::wstring(L"returned=") + (webView ? L"set" : L"null") + L"\tdestroyed="
        + std::to_wstring(destroyedWhileCreating));
    if (webView && !destroyedWhileCreating)
        views.push_back(View{1, webView, AnswerFalse});
    if (!Finish())
        return exitNotReleased;
    if (!destroyedWhileCreating)
        return exitNoEvent;
    return webView ? exitDestroyedViewReturned : 0;
}

int WebViewProbe::RunKeys(const std::wstring& url)
{
    int index = AddView(AnswerFalse, url, 0);
    if (index < 0)
        return exitCreateFailed;
    WebView* webView = views[index].webView;
    if (!PumpUntil([this] { return documentCompletes >= 1; }, eventTimeoutMs)) {
        Step(L"timeout");
        Finish();
        return exitNoEvent;
    }

    WindManager* manager = WindManager::Instance();
    HWND control = GetWindow(manager->GetWebViewWindow(webView), GW_CHILD);
    const MSG keys[] = {
        {control, WM_KEYDOWN, VK_F5, 0x003F0001, GetTickCount(), {0, 0}},
        {control, WM_KEYDOWN, VK_RETURN, 0x001C0001, GetTickCount(), {0, 0}},
        {control, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001), GetTickCount(), {0, 0}},
    };
    for (const MSG& key : keys) {
        MSG message = key;
        bool handled = manager->TranslateWebViewAccelerator(webView, &message);
        Step(L"translated", L"msg=" + ConsoleOutput::Hex(key.message) + L"\tkey="
            + ConsoleOutput::Hex(static_cast<unsigned long>(key.wParam)) + L"\thwnd=" + ConsoleOutput::Handle(control)
            + L"\thandled=" + (handled ? L"1" : L"0"));
    }

    manager->RefreshWebView(webView);
    Step(L"refreshed");
    bool refreshed = PumpUntil([this] { return documentCompletes >= 2; }, eventTimeoutMs);
    if (!refreshed)
        Step(L"timeout");
    if (!Finish())
        return exitNotReleased;
    return refreshed ? 0 : exitNoEvent;
}
