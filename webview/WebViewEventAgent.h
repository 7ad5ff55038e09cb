// Turns the browser control's events into calls of its web view's callback; watches navigations.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>

#include "toolkit/ComObject.h"
#include "toolkit/WindManager.h"
#include "webview/NavigationWatch.h"
#include "webview/WebViewCallback.h"

// DWebBrowserEvents2 reach the one callback bound to the web view. The agent and its web view
// record share one lifetime, counted by the agent's references: the record holds one until
// DestroyWebView has torn it down (from the message loop when it was called inside an event), the
// control one while it is advised, and Invoke one while it runs. The last Release frees the record
// and the agent.
//
// It also watches each navigation of the page itself, from its start (a navigation asked of the
// web view, or one the page began) until its server has answered: the page's NavigateComplete2
// (its document has arrived and is being shown, however long its images and frames take), a
// FileDownload (the answer is a file, and no document follows), its DocumentComplete, or a
// DownloadComplete that leaves the control idle (the navigation was stopped or refused). One
// that fails, or is not answered within the stall period, reaches the callback as NavigateError.
class WebViewEventAgent final : public ComObject<DWebBrowserEvents2> {
public:
    // Starts unbound, with the one reference that the record holds.
    WebViewEventAgent(WebView* webView, UINT stallPeriodMs);

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argumentError) override;

    // Both non-null; replaces any earlier binding. A failure of the page that no binding heard,
    // raised while the window that binds was being made, is told to it at once.
    void Bind(CallbackBase* newOwner, WebViewCallback newCallback);
    // Once its web view is destroyed, events that still arrive reach no handler: the owner may be
    // gone, and no navigation is watched any more.
    void Unbind();

    // The web view is about to navigate to the address itself.
    void NavigationStarted(const wchar_t* address);
    bool IsNavigating() const { return watch.IsPending(); }
    // The control's modal UI (a credentials or certificate prompt, a page's dialog) waits on the
    // player: the navigation's time does not run meanwhile.
    void ModalUi(bool shown);

private:
    ~WebViewEventAgent() override;
    void* Find(REFIID iid) override;

    // Whether an event's pDisp argument is the control itself rather than one of its frames.
    bool IsControl(const VARIANT* argument) const;
    // The control says it is loading nothing any more.
    bool ControlIdle() const;
    // NavigateError: true when the arguments are the published ones and tell of a failure of the
    // page itself, whose error page is then refused. Ends the watched navigation either way.
    bool PageFailed(const DISPPARAMS* params, const wchar_t*& url, long& status);
    // BeforeNavigate2 of a navigation that goes ahead: the page itself loading a document starts a watch.
    void WatchNavigation(const DISPPARAMS* params, const wchar_t* address);
    void OnStall();
    // Calls the bound callback, or keeps a failure for the first binding.
    bool Tell(WebViewEvent kind, const wchar_t* url, long status);

    WebView* webView;
    CallbackBase* owner;
    WebViewCallback callback;
    NavigationWatch watch;
    // The address of the page's last NavigateComplete2: moving within it loads no document.
    std::wstring pageAddress;
    // The last failure of the page while unbound, until a binding hears it or a navigation starts.
    std::wstring unheardFailure;
    long unheardStatus;
};
