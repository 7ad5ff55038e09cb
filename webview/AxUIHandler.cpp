// The host's answers about the HTML control's look, keys, context menus and modal UI.
#include "webview/AxUIHandler.h"

#include "webview/AxHost.h"
#include "webview/PageKeys.h"

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
    // DPI-aware: the page is laid out at the window's scale through its zoom, not stretched. The
    // page's fields, buttons and scroll bars are drawn in the system's theme, not left to the
    // control's default, which may be the classic style.
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE | DOCHOSTUIFLAG_THEME;
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
    // Only the page's keys are the control's: the launcher's own (F5 among them: the game window
    // refreshes its page itself, the login page does not reload) and the browser's shortcuts are
    // answered as handled, so that the control does nothing with them.
    return message && PageKeys::RouteNow(*message) != PageKeyAction::ToPage ? S_OK : S_FALSE;
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
