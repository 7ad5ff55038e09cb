#include "ConnectionPointContainerPart.h"

#include "EventConnectionPoint.h"
#include "StandInBrowser.h"
#include "StandInLog.h"

#include <exdisp.h>
#include <olectl.h>

ConnectionPointContainerPart::ConnectionPointContainerPart(StandInBrowser& owner, EventConnectionPoint& events)
    : owner(owner),
      events(events)
{
}

HRESULT STDMETHODCALLTYPE ConnectionPointContainerPart::QueryInterface(REFIID riid, void** object)
{
    return owner.QueryInterface(riid, object);
}

ULONG STDMETHODCALLTYPE ConnectionPointContainerPart::AddRef()
{
    return owner.AddRef();
}

ULONG STDMETHODCALLTYPE ConnectionPointContainerPart::Release()
{
    return owner.Release();
}

HRESULT STDMETHODCALLTYPE ConnectionPointContainerPart::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points != nullptr) {
        *points = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ConnectionPointContainerPart::FindConnectionPoint(REFIID riid, IConnectionPoint** point)
{
    if (point == nullptr) {
        return E_POINTER;
    }
    *point = nullptr;
    if (!IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        wchar_t text[64];
        StringFromGUID2(riid, text, 64);
        StandInLog::Write(L"FindConnectionPoint", L"obj=%u refused=%ls", owner.Serial(), text);
        return CONNECT_E_NOCONNECTION;
    }
    *point = &events;
    events.AddRef();
    return S_OK;
}
