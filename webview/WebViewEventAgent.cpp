// Binds the browser control's events to a web view's callback and watches its navigations.
#include "webview/WebViewEventAgent.h"

#include <exdispid.h>
#include <urlmon.h>

#include "webview/DeferredRelease.h"
#include "webview/EventArguments.h"
#include "webview/NavigationPolicy.h"
#include "webview/WebView.h"

WebViewEventAgent::WebViewEventAgent(WebView* webView, UINT stallPeriodMs)
    : webView(webView)
    , owner(nullptr)
    , callback(nullptr)
    , watch(stallPeriodMs, [this] { OnStall(); })
    , unheardStatus(0)
{
}

WebViewEventAgent::~WebViewEventAgent()
{
    delete webView;
}

void* WebViewEventAgent::Find(REFIID iid)
{
    return IsOneOf(iid, {&IID_IDispatch, &DIID_DWebBrowserEvents2}) ? static_cast<DWebBrowserEvents2*>(this) : nullptr;
}

STDMETHODIMP WebViewEventAgent::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP WebViewEventAgent::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP WebViewEventAgent::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP WebViewEventAgent::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
    UINT*)
{
    if (!params)
        return E_INVALIDARG;
    // Arguments are read only as far as the event brought them and only in the expected types.
    WebViewEvent kind;
    const wchar_t* url = L"";
    long status = 0;
    VARIANT_BOOL* cancel = nullptr;
    switch (id) {
    case DISPID_NEWWINDOW2:
        // With nobody bound to send it to the default browser, the control would open a window
        // of its own: refused. A bound window's answer is dropped, as for every NavigateComplete;
        // its NewWindow3 decides.
        if (!owner || !callback) {
            if (VARIANT_BOOL* refused = CancelFlagOf(Argument(params, 0)))
                *refused = VARIANT_TRUE;
            return S_OK;
        }
        kind = NavigateComplete;
        break;
    case DISPID_NAVIGATECOMPLETE2:
        kind = NavigateComplete;
        url = AddressOf(Argument(params, 0));
        // The page's own document has arrived and is being shown: its server answered, and the
        // watch ends. Its images, sounds and frames may take as long as they like.
        if (IsControl(Argument(params, 1))) {
            pageAddress = url;
            watch.Stop();
        }
        break;
    case DISPID_DOCUMENTCOMPLETE:
        kind = DocumentComplete;
        url = AddressOf(Argument(params, 0));
        // The page's own document completes after those of its frames. Its new document is laid
        // out at the window's scale.
        if (IsControl(Argument(params, 1))) {
            watch.Stop();
            if (webView->eventAgent == this)
                webView->ApplyZoom();
        }
        break;
    case DISPID_NEWWINDOW3:
        kind = NewWindow;
        url = StringOf(Argument(params, 0));
        cancel = CancelFlagOf(Argument(params, 3));
        break;
    case DISPID_NAVIGATEERROR:
        if (!PageFailed(params, url, status))
            return S_OK;
        kind = NavigateError;
        break;
    case DISPID_BEFORENAVIGATE2: {
        // A page navigates on the web only: another protocol would start its handler, a file
        // address would show or run what lies on the machine. Answered here, with no handler.
        cancel = CancelFlagOf(Argument(params, 0));
        const wchar_t* address = AddressOf(Argument(params, 5));
        if (cancel && !MayNavigate(address))
            *cancel = VARIANT_TRUE;
        else if (cancel && *cancel == VARIANT_FALSE)
            WatchNavigation(params, address);
        return S_OK;
    }
    case DISPID_DOWNLOADCOMPLETE:
        // "Fires when a navigation operation finishes, is halted, or fails": one stopped (Escape,
        // window.stop()), refused by the page's onbeforeunload or by a feature control raises
        // nothing else. Idle afterwards, the control loads nothing that could still fail.
        if (ControlIdle())
            watch.Stop();
        return S_OK;
    case DISPID_FILEDOWNLOAD:
        // The server answered with a file rather than a document: no document follows, and the
        // page shown stays. The download itself is the security manager's to refuse.
        watch.Stop();
        return S_OK;
    case DISPID_WINDOWCLOSING:
        // window.close() in a page: the control would ask the player whether to close a window
        // that the launcher's own windows decide about. Answered here, with no handler.
        cancel = CancelFlagOf(Argument(params, 0));
        if (cancel && IsBool(Argument(params, 1)))
            *cancel = VARIANT_TRUE;
        return S_OK;
    default:
        return S_OK;
    }

    // The callback may destroy this web view: the agent and its record then live on until the
    // reference taken here goes, and the control until the message loop runs again.
    AddRef();
    bool unbound = !owner || !callback;
    bool answer;
    {
        DeferredRelease::ControlCall call;
        answer = Tell(kind, url, status);
    }
    // An event that asks for an answer and finds no window bound is refused.
    if (cancel)
        *cancel = answer || unbound ? VARIANT_TRUE : VARIANT_FALSE;
    Release();
    return S_OK;
}

void WebViewEventAgent::Bind(CallbackBase* newOwner, WebViewCallback newCallback)
{
    owner = newOwner;
    callback = newCallback;
    if (unheardFailure.empty())
        return;
    std::wstring address;
    address.swap(unheardFailure);
    AddRef();
    callback(owner, NavigateError, webView, address.c_str(), unheardStatus);
    Release();
}

void WebViewEventAgent::Unbind()
{
    owner = nullptr;
    callback = nullptr;
    unheardFailure.clear();
    watch.Stop();
}

void WebViewEventAgent::ModalUi(bool shown)
{
    if (shown)
        watch.Pause();
    else
        watch.Resume();
}

void WebViewEventAgent::NavigationStarted(const wchar_t* address)
{
    unheardFailure.clear();
    watch.Start(address);
}

bool WebViewEventAgent::Tell(WebViewEvent kind, const wchar_t* url, long status)
{
    if (owner && callback)
        return callback(owner, kind, webView, url, status);
    // Nobody has listened yet: the control may fail inside the first Navigate2, before the
    // window that made the web view binds itself. Once unbound for good, nobody will.
    if (kind == NavigateError && webView->eventAgent == this) {
        unheardFailure = url;
        unheardStatus = status;
    }
    return false;
}

// COM identity: the same object answers IUnknown with the same pointer through any of its
// interfaces, and the control passes whichever it likes as pDisp.
bool WebViewEventAgent::IsControl(const VARIANT* argument) const
{
    if (!argument || argument->vt != VT_DISPATCH || !argument->pdispVal || !webView->control)
        return false;
    ComPtr<IUnknown> sender;
    if (FAILED(argument->pdispVal->QueryInterface(IID_IUnknown, sender.PutVoid())))
        return false;
    return sender.Get() == webView->control.Get();
}

bool WebViewEventAgent::ControlIdle() const
{
    VARIANT_BOOL busy = VARIANT_TRUE;
    return webView->browser && SUCCEEDED(webView->browser->get_Busy(&busy)) && busy == VARIANT_FALSE;
}

bool WebViewEventAgent::PageFailed(const DISPPARAMS* params, const wchar_t*& url, long& status)
{
    // NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel), last first.
    VARIANT_BOOL* cancelFlag = CancelFlagOf(Argument(params, 0));
    const VARIANT* code = Referenced(Argument(params, 1));
    const VARIANT* address = Referenced(Argument(params, 3));
    if (!cancelFlag || !code || code->vt != VT_I4 || !IsFrameName(Referenced(Argument(params, 2))) || !address
        || address->vt != VT_BSTR)
        return false;
    const wchar_t* text = StringOf(address);
    // A frame's error is the page's own business: it shows in the frame whatever the page likes.
    if (!*text || !IsControl(Argument(params, 4)))
        return false;
    watch.Stop();
    if (!IsFailure(code->lVal))
        return false;
    // Refused, the control shows no error page of its own: the window says so in its own way.
    *cancelFlag = VARIANT_TRUE;
    url = text;
    status = code->lVal;
    return true;
}

void WebViewEventAgent::WatchNavigation(const DISPPARAMS* params, const wchar_t* address)
{
    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), last first.
    if (IsControl(Argument(params, 6)) && LoadsDocument(address) && !WithinPage(address, pageAddress))
        NavigationStarted(address);
}

void WebViewEventAgent::OnStall()
{
    // The callback may start another navigation, which replaces the watched address.
    std::wstring address = watch.Address();
    AddRef();
    Tell(NavigateError, address.c_str(), INET_E_CONNECTION_TIMEOUT);
    Release();
}
