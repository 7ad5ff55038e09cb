#pragma once

#include <windows.h>
#include <ocidl.h>

class StandInBrowser;
class EventConnectionPoint;

// IConnectionPointContainer of the stand-in: one connection point, DWebBrowserEvents2.
class ConnectionPointContainerPart : public IConnectionPointContainer {
public:
    ConnectionPointContainerPart(StandInBrowser& owner, EventConnectionPoint& events);
    virtual ~ConnectionPointContainerPart() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

private:
    StandInBrowser& owner;
    EventConnectionPoint& events;
};
