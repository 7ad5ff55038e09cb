// The web-view operations of WindManager. They use none of its state.
#include <new>

#include "toolkit/WindManager.h"
#include "webview/AxHostWindow.h"
#include "webview/BrowserFeatures.h"
#include "webview/DeferredRelease.h"
#include "webview/WebView.h"
#include "webview/WebViewEventAgent.h"

namespace {

const wchar_t browserProgId[] = L"shell.Explorer.2";

// Clears WS_POPUP, WS_CHILD, WS_BORDER, WS_DLGFRAME and WS_SYSMENU, keeps every other bit.
const LONG keptStyleBits = 0x3F37FFFF;

// A page that has not completed within this time after its navigation began counts as failed.
const UINT stallPeriodMs = 30000;

// Connects the agent to the control's events and keeps what undoing the connection needs.
void ConnectAgent(WebView* webView)
{
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(webView->browser->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())))
        return;
    ComPtr<IConnectionPoint> connection;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, connection.Put())) || !connection)
        return;
    DWORD cookie = 0;
    if (SUCCEEDED(connection->Advise(webView->eventAgent, &cookie))) {
        webView->eventConnection.Attach(connection.Detach());
        webView->adviseCookie = cookie;
    }
}

// Undoes a web view in the order controls expect: its events are disconnected while it still
// has its site, our references go, and then the host deactivates and closes the control, takes
// its site away and ends its OLE. True when the host window is gone.
bool TearDown(WebView* webView, HWND host)
{
    if (webView->eventConnection) {
        webView->eventConnection->Unadvise(webView->adviseCookie);
        webView->eventConnection.Reset();
    }
    webView->inPlaceObject.Reset();
    webView->control.Reset();
    webView->browser.Reset();
    return host && DestroyWindow(host);
}

// Navigate2 with the address, watched from before the call: the control may raise the
// navigation's events inside it.
void Navigate(WebView* webView, const wchar_t* url)
{
    webView->eventAgent->NavigationStarted(url);
    VariantInit(&webView->url);
    webView->url.vt = VT_BSTR;
    webView->url.bstrVal = SysAllocString(url);
    {
        DeferredRelease::ControlCall call;
        webView->browser->Navigate2(&webView->url, nullptr, nullptr, nullptr, nullptr);
    }
    VariantClear(&webView->url);
}

} // namespace

WebView* WindManager::CreateWebView(int x, int y, int width, int height, HWND ownerWindow, const wchar_t* url,
    CallbackBase* callbackOwner, WebViewCallback callback)
{
    auto* webView = new (std::nothrow) WebView;
    if (!webView)
        return nullptr;
    webView->eventAgent = new (std::nothrow) WebViewEventAgent(webView, stallPeriodMs);
    if (!webView->eventAgent) {
        delete webView;
        return nullptr;
    }
    BrowserFeatures::EnableOnce();
    AtlAxWinInit();
    webView->ownerWindow = ownerWindow;

    // Neither popup nor child at creation: the host starts overlapped and is then made a
    // captionless popup. It stays a top-level window, owned by the owner window. It is hidden
    // until the window that shows it is on the screen and has brought it to its place.
    webView->hostWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"AtlAxWin80", nullptr, 0, x, y, width, height,
        ownerWindow, nullptr, module, nullptr);
    if (webView->hostWindow) {
        LONG style = GetWindowLongW(webView->hostWindow, GWL_STYLE);
        SetWindowLongW(webView->hostWindow, GWL_STYLE, (style & keptStyleBits) | static_cast<LONG>(WS_POPUP));
    }

    // Without a host or a control the web view stays empty; every operation then does nothing.
    AxCreateControl(webView->hostWindow, browserProgId);
    // The host is let go of before the agent is.
    WebViewEventAgent* watching = webView->eventAgent;
    AxListenToModalUi(webView->hostWindow, [watching](bool shown) { watching->ModalUi(shown); });
    AxQueryControl(webView->hostWindow, IID_IWebBrowser2, webView->browser.PutVoid());
    if (webView->browser) {
        webView->browser->QueryInterface(IID_IUnknown, webView->control.PutVoid());
        webView->browser->QueryInterface(IID_IOleInPlaceActiveObject, webView->inPlaceObject.PutVoid());
        ConnectAgent(webView);
    }

    // Bound before navigating, so that events raised while navigation starts reach the callback.
    // Such a callback may destroy the web view inside Navigate2: the record is held until the
    // call has returned, and the caller then gets no web view.
    WebViewEventAgent* agent = webView->eventAgent;
    agent->AddRef();
    SetWebViewCallback(webView, callbackOwner, callback);

    if (webView->browser)
        Navigate(webView, url);
    bool destroyed = !webView->eventAgent;
    agent->Release();
    return destroyed ? nullptr : webView;
}

void WindManager::DestroyWebView(WebView* webView)
{
    if (!webView)
        return;
    WebViewEventAgent* agent = webView->eventAgent;
    agent->Unbind();
    webView->eventAgent = nullptr;
    // Done with: the control loads nothing more and runs no more of the page's work, whenever
    // it is let go.
    if (webView->browser) {
        DeferredRelease::ControlCall call;
        webView->browser->Stop();
    }
    if (!DeferredRelease::InControlCall()) {
        if (TearDown(webView, webView->hostWindow))
            webView->hostWindow = nullptr;
        // Frees the record and the agent unless the control still holds the agent.
        agent->Release();
        return;
    }
    // A control raising an event right now must not be closed inside its own call: the page
    // disappears at once and is torn down from the message loop. It leaves its owner, whose
    // destruction would otherwise take the host, and the control with it, before that.
    HWND host = webView->hostWindow;
    webView->hostWindow = nullptr;
    if (host) {
        ShowWindow(host, SW_HIDE);
        SetWindowLongPtrW(host, GWLP_HWNDPARENT, 0);
    }
    // Nor inside its modal UI (a page's alert), which runs a message loop of its own.
    DeferredRelease::Post(
        [webView, host, agent] {
            TearDown(webView, host);
            agent->Release();
        },
        [host] { return host && AxInModalUi(host); });
}

HWND WindManager::GetWebViewWindow(WebView* webView)
{
    return webView ? webView->hostWindow : nullptr;
}

bool WindManager::MoveWebView(WebView* webView, int x, int y, int width, int height, bool repaint)
{
    if (!webView)
        return false;
    // Relative to the owner's outer corner, frame included; screen coordinates without owner.
    RECT ownerRect;
    if (webView->ownerWindow && GetWindowRect(webView->ownerWindow, &ownerRect)) {
        x += ownerRect.left;
        y += ownerRect.top;
    }
    MoveWindow(webView->hostWindow, x, y, width, height, repaint);
    return true;
}

bool WindManager::SetWebViewCallback(WebView* webView, CallbackBase* callbackOwner, WebViewCallback callback)
{
    if (!webView || !callbackOwner || !callback || !webView->eventAgent)
        return false;
    webView->eventAgent->Bind(callbackOwner, callback);
    return true;
}

bool WindManager::TranslateWebViewAccelerator(WebView* webView, MSG* message)
{
    if (!webView || !message || !webView->inPlaceObject)
        return false;
    DeferredRelease::ControlCall call;
    return webView->inPlaceObject->TranslateAccelerator(message) == S_OK;
}

void WindManager::RefreshWebView(WebView* webView, bool bypassCache)
{
    if (!webView || !webView->browser)
        return;
    DeferredRelease::ControlCall call;
    if (!bypassCache) {
        webView->browser->Refresh();
        return;
    }
    VARIANT level;
    VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = REFRESH_COMPLETELY;
    webView->browser->Refresh2(&level);
}

void WindManager::NavigateWebView(WebView* webView, const wchar_t* url)
{
    // A destroyed web view keeps its control until the loop has torn it down, but navigates no more.
    if (!webView || !webView->browser || !webView->eventAgent || !url)
        return;
    Navigate(webView, url);
}

void WindManager::SetWebViewZoom(WebView* webView, int percent)
{
    if (!webView || !webView->eventAgent)
        return;
    webView->zoom = percent;
    DeferredRelease::ControlCall call;
    webView->ApplyZoom();
}

bool WindManager::IsWebViewNavigating(WebView* webView)
{
    return webView && webView->eventAgent && webView->eventAgent->IsNavigating();
}

bool WindManager::IsWebViewInModalUi(WebView* webView)
{
    return webView && webView->hostWindow && AxInModalUi(webView->hostWindow);
}
