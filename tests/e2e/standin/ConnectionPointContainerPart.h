#pragma once

#include "DelegatingPart.h"

#include <windows.h>
#include <ocidl.h>

class StandInBrowser;
class EventConnectionPoint;

// IConnectionPointContainer of the stand-in: one connection point, DWebBrowserEvents2.
class ConnectionPointContainerPart : public DelegatingPart<IConnectionPointContainer, StandInBrowser> {
public:
    ConnectionPointContainerPart(StandInBrowser& owner, EventConnectionPoint& events);

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

private:
    EventConnectionPoint& events;
};
