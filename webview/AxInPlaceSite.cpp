// Activates the control in place over the host window's client area.
#include "webview/AxInPlaceSite.h"

#include "webview/AxHost.h"

AxInPlaceSite::AxInPlaceSite(AxHost* host)
    : AxHostPart(host)
    , host(host)
{
}

STDMETHODIMP AxInPlaceSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = host->HostWindow();
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxInPlaceSite::CanInPlaceActivate()
{
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::OnInPlaceActivate()
{
    host->OnInPlaceActivate();
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::OnUIActivate()
{
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
    RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* frameInfo)
{
    if (document)
        *document = nullptr;
    if (frame)
        *frame = nullptr;
    if (!frame || !position || !clip)
        return E_POINTER;
    // The frame is the host itself; with no document window of its own, the frame serves as one.
    host->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame));
    GetClientRect(host->HostWindow(), position);
    *clip = *position;
    if (frameInfo) {
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = host->HostWindow();
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

STDMETHODIMP AxInPlaceSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::OnInPlaceDeactivate()
{
    host->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::DiscardUndoState()
{
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::DeactivateAndUndo()
{
    return S_OK;
}

STDMETHODIMP AxInPlaceSite::OnPosRectChange(const RECT*)
{
    // The control fills the host whatever size it asks for.
    host->FitControl();
    return S_OK;
}
