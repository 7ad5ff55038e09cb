#include "webview/WebViewEventAgent.h"

#include <exdispid.h>

#include <cwchar>

#include "webview/DeferredRelease.h"
#include "webview/WebView.h"

namespace {

const wchar_t noUrl[] = L"";

// The entry of the argument array, or null when the event brought fewer arguments.
const VARIANT* Argument(const DISPPARAMS* params, UINT index)
{
    if (!params->rgvarg || index >= params->cArgs)
        return nullptr;
    return &params->rgvarg[index];
}

// The schemes a page may navigate to: the web, the control's blank pages and script. The
// control's own error pages (res:) are refused as well: its documentation leaves them to
// NavigateError, raised before it shows one, and a res: address can name any module on the
// machine, whose pages would open in the local machine zone. A failed page then stays blank.
const wchar_t* const webSchemes[] = {L"http", L"https", L"about", L"javascript"};

// A null BSTR is an empty string, and so is one that is not whole text: an odd byte count
// leaves no wide NUL at its end, and a NUL inside would hide the rest from the callback.
const wchar_t* StringOf(const VARIANT* argument)
{
    if (!argument || argument->vt != VT_BSTR || !argument->bstrVal)
        return noUrl;
    BSTR text = argument->bstrVal;
    UINT length = SysStringLen(text);
    if (SysStringByteLen(text) != length * sizeof(wchar_t) || wcsnlen(text, length) != length)
        return noUrl;
    return text;
}

// The URL argument of BeforeNavigate2, NavigateComplete2 and DocumentComplete: a reference to
// a VARIANT that holds the string, or the string itself.
const wchar_t* AddressOf(const VARIANT* argument)
{
    if (argument && argument->vt == (VT_BYREF | VT_VARIANT))
        return argument->pvarVal ? StringOf(argument->pvarVal) : noUrl;
    return StringOf(argument);
}

VARIANT_BOOL* CancelFlagOf(const VARIANT* argument)
{
    if (!argument || argument->vt != (VT_BYREF | VT_BOOL))
        return nullptr;
    return argument->pboolVal;
}

bool IsBool(const VARIANT* argument)
{
    return argument && argument->vt == VT_BOOL;
}

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Compared in ASCII only: a letter of another script that folds to one of these is another
// scheme. An address without a scheme, or one that could not be read, is not on the web.
bool IsWebNavigation(const wchar_t* address)
{
    const wchar_t* colon = wcschr(address, L':');
    if (!colon)
        return false;
    size_t length = static_cast<size_t>(colon - address);
    for (const wchar_t* scheme : webSchemes) {
        if (wcslen(scheme) != length)
            continue;
        size_t same = 0;
        while (same < length && AsciiLower(address[same]) == scheme[same])
            ++same;
        if (same == length)
            return true;
    }
    return false;
}

} // namespace

WebViewEventAgent::WebViewEventAgent(WebView* webView)
    : webView(webView)
    , owner(nullptr)
    , callback(nullptr)
    , references(1)
{
}

WebViewEventAgent::~WebViewEventAgent()
{
    delete webView;
}

STDMETHODIMP WebViewEventAgent::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<DWebBrowserEvents2*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) WebViewEventAgent::AddRef()
{
    return ++references;
}

STDMETHODIMP_(ULONG) WebViewEventAgent::Release()
{
    ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
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
    const wchar_t* url = noUrl;
    VARIANT_BOOL* cancel = nullptr;
    switch (id) {
    case DISPID_NEWWINDOW2:
        // The answer for this kind is dropped, as for every NavigateComplete; NewWindow3 decides.
        kind = NavigateComplete;
        break;
    case DISPID_NAVIGATECOMPLETE2:
        kind = NavigateComplete;
        url = AddressOf(Argument(params, 0));
        break;
    case DISPID_DOCUMENTCOMPLETE:
        kind = DocumentComplete;
        url = AddressOf(Argument(params, 0));
        break;
    case DISPID_NEWWINDOW3:
        kind = NewWindow;
        url = StringOf(Argument(params, 0));
        cancel = CancelFlagOf(Argument(params, 3));
        break;
    case DISPID_BEFORENAVIGATE2:
        // A page navigates on the web only: another protocol would start its handler, a file
        // address would show or run what lies on the machine. Answered here, with no handler.
        cancel = CancelFlagOf(Argument(params, 0));
        if (cancel && !IsWebNavigation(AddressOf(Argument(params, 5))))
            *cancel = VARIANT_TRUE;
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
    bool answer;
    {
        DeferredRelease::ControlCall call;
        answer = owner && callback && callback(owner, kind, webView, url);
    }
    if (cancel)
        *cancel = answer ? VARIANT_TRUE : VARIANT_FALSE;
    Release();
    return S_OK;
}

void WebViewEventAgent::Bind(CallbackBase* newOwner, WebViewCallback newCallback)
{
    owner = newOwner;
    callback = newCallback;
}

void WebViewEventAgent::Unbind()
{
    owner = nullptr;
    callback = nullptr;
}
