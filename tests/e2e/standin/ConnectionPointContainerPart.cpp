#include "ConnectionPointContainerPart.h"

#include "ComPointers.h"
#include "EventConnectionPoint.h"
#include "StandInBrowser.h"
#include "StandInLog.h"

#include <exdisp.h>
#include <olectl.h>

ConnectionPointContainerPart::ConnectionPointContainerPart(StandInBrowser& owner, EventConnectionPoint& events)
    : DelegatingPart(owner),
      events(events)
{
}

HRESULT STDMETHODCALLTYPE ConnectionPointContainerPart::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    return NoObject(points, E_NOTIMPL);
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
