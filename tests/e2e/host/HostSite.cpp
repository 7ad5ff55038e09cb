#include "HostSite.h"

#include "../ctl/ConsoleOutput.h"

HostSite::HostSite(HWND window)
    : refCount(1),
      window(window),
      clientSite(*this)
{
}

HRESULT STDMETHODCALLTYPE HostSite::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(&clientSite);
    } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE HostSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refCount));
}

ULONG STDMETHODCALLTYPE HostSite::Release()
{
    LONG count = InterlockedDecrement(&refCount);
    if (count == 0) {
        delete this;
    }
    return static_cast<ULONG>(count);
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
