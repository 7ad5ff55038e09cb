#pragma once

#include "DelegatingPart.h"

#include <windows.h>
#include <ocidl.h>

#include <vector>

class StandInBrowser;

// The DWebBrowserEvents2 connection point: any number of sinks, each called
// with a reference held, so a sink may unadvise or release the control while
// it handles an event.
class EventConnectionPoint : public DelegatingPart<IConnectionPoint, StandInBrowser> {
public:
    explicit EventConnectionPoint(StandInBrowser& owner);
    virtual ~EventConnectionPoint();

    // Calls Invoke on every sink advised now; answers how many were called.
    int Raise(DISPID dispid, DISPPARAMS* params);
    void DisconnectAll();

    // A connection point is an object of its own, with the control's count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    struct Connection {
        DWORD cookie;
        IDispatch* sink;
    };

    bool IsAdvised(DWORD cookie) const;

    std::vector<Connection> connections;
    DWORD nextCookie;
};
