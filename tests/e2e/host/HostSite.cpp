#include "HostSite.h"

#include "../ctl/ConsoleOutput.h"

HostSite::HostSite(HWND window)
    : window(window),
      clientSite(*this)
{
}

void* HostSite::Find(REFIID riid)
{
    if (IsEqualIID(riid, IID_IOleClientSite)) {
        return static_cast<IOleClientSite*>(&clientSite);
    }
    return IsOneOf(riid, {&IID_IOleWindow, &IID_IOleInPlaceSite}) ? static_cast<IOleInPlaceSite*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE HostSite::GetWindow(HWND* result)
{
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = window;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::ContextSensitiveHelp(WINBOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE HostSite::CanInPlaceActivate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::OnInPlaceActivate()
{
    ConsoleOutput::Line(L"host site=OnInPlaceActivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::OnUIActivate()
{
    ConsoleOutput::Line(L"host site=OnUIActivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
    LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || frameInfo == nullptr) {
        return E_POINTER;
    }
    *frame = nullptr;
    *document = nullptr;
    GetClientRect(window, position);
    *clip = *position;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = window;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::Scroll(SIZE)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE HostSite::OnUIDeactivate(WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::OnInPlaceDeactivate()
{
    ConsoleOutput::Line(L"host site=OnInPlaceDeactivate");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::DiscardUndoState()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::DeactivateAndUndo()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostSite::OnPosRectChange(LPCRECT)
{
    return S_OK;
}
