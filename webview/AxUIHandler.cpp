#include "webview/AxUIHandler.h"

#include "webview/AxHost.h"

AxUIHandler::AxUIHandler(AxHost* host)
    : AxHostPart(host)
    , host(host)
{
}

STDMETHODIMP AxUIHandler::ShowContextMenu(DWORD id, POINT*, IUnknown*, IDispatch*)
{
    // The browser's own menu (view source, open in a new window, properties ...) is not the
    // launcher's: answered as shown, so none appears. A text field keeps its edit menu, for
    // cut, copy and paste in the login form.
    return id == CONTEXT_MENU_CONTROL ? S_FALSE : S_OK;
}

STDMETHODIMP AxUIHandler::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info || info->cbSize < sizeof(DOCHOSTUIINFO))
        return E_INVALIDARG;
    // The page sits in a hole of a skin: a sunken 3-D edge around it would show. The host is
    // DPI-aware: the page is laid out at the window's scale through its zoom, not stretched.
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP AxUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
    IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

STDMETHODIMP AxUIHandler::HideUI()
{
    return S_OK;
}

STDMETHODIMP AxUIHandler::UpdateUI()
{
    return S_OK;
}

STDMETHODIMP AxUIHandler::EnableModeless(BOOL enable)
{
    // "Called when MSHTML displays a modal UI": FALSE as it appears, TRUE as it ends.
    host->EnableModeless(enable != FALSE);
    return S_OK;
}

STDMETHODIMP AxUIHandler::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxUIHandler::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

STDMETHODIMP AxUIHandler::TranslateAccelerator(MSG* message, const GUID*, DWORD)
{
    // F5 is the launcher's: the game window refreshes its page itself and the login page does
    // not reload. Answered as handled, so that the control does not reload on its own as well.
    bool f5 = message && message->wParam == VK_F5 && (message->message == WM_KEYDOWN || message->message == WM_KEYUP);
    return f5 ? S_OK : S_FALSE;
}

STDMETHODIMP AxUIHandler::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return S_FALSE;
}

STDMETHODIMP AxUIHandler::GetDropTarget(IDropTarget*, IDropTarget** replacement)
{
    if (replacement)
        *replacement = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP AxUIHandler::GetExternal(IDispatch** external)
{
    if (external)
        *external = nullptr;
    return S_FALSE;
}

STDMETHODIMP AxUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated)
        *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP AxUIHandler::FilterDataObject(IDataObject*, IDataObject** filtered)
{
    if (filtered)
        *filtered = nullptr;
    return S_FALSE;
}
