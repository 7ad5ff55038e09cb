#pragma once

#include <windows.h>
#include <exdisp.h>

#include "toolkit/WindManager.h"
#include "webview/WebViewCallback.h"

// Turns the browser control's DWebBrowserEvents2 into calls of the one callback bound to its
// web view. The agent and its web view record share one lifetime, counted by the agent's
// references: the record holds one until DestroyWebView has torn it down (from the message
// loop when it was called inside an event), the control one while it is advised, and Invoke one
// while it runs. The last Release frees the record and the agent.
class WebViewEventAgent final : public DWebBrowserEvents2 {
public:
    // Starts unbound, with the one reference that the record holds.
    explicit WebViewEventAgent(WebView* webView);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argumentError) override;

    // Both non-null; replaces any earlier binding.
    void Bind(CallbackBase* newOwner, WebViewCallback newCallback);
    // Once its web view is destroyed, events that still arrive reach no handler: the owner may be gone.
    void Unbind();

private:
    ~WebViewEventAgent();
    WebViewEventAgent(const WebViewEventAgent&) = delete;
    WebViewEventAgent& operator=(const WebViewEventAgent&) = delete;

    WebView* webView;
    CallbackBase* owner;
    WebViewCallback callback;
    ULONG references;
};
