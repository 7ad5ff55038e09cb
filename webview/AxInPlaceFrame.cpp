// The frame a control activates in: the host window, sharing nothing.
#include "webview/AxInPlaceFrame.h"

#include "webview/AxHost.h"

AxInPlaceFrame::AxInPlaceFrame(AxHost* host)
    : AxHostPart(host)
    , host(host)
{
}

STDMETHODIMP AxInPlaceFrame::GetWindow(HWND* frameWindow)
{
    if (!frameWindow)
        return E_POINTER;
    *frameWindow = host->HostWindow();
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxInPlaceFrame::GetBorder(RECT*)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP AxInPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP AxInPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS widths)
{
    // Asking for no tool space at all is the only request that can be met.
    if (!widths || (widths->left == 0 && widths->top == 0 && widths->right == 0 && widths->bottom == 0))
        return S_OK;
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP AxInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* activeObject, LPCOLESTR)
{
    host->SetActiveObject(activeObject);
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::RemoveMenus(HMENU)
{
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::EnableModeless(BOOL enable)
{
    // The frame hears of the control's modal UI as well; the host counts both together.
    host->EnableModeless(enable != FALSE);
    return S_OK;
}

STDMETHODIMP AxInPlaceFrame::TranslateAccelerator(MSG*, WORD)
{
    return S_FALSE;
}
