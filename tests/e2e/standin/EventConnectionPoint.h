#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

class StandInBrowser;

// The DWebBrowserEvents2 connection point: any number of sinks, each called
// with a reference held, so a sink may unadvise or release the control while
// it handles an event.
class EventConnectionPoint : public IConnectionPoint {
public:
    explicit EventConnectionPoint(StandInBrowser& owner);
    virtual ~EventConnectionPoint();

    // Calls Invoke on every sink advised now; answers how many were called.
    int Raise(DISPID dispid, DISPPARAMS* params);
    void DisconnectAll();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

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

    StandInBrowser& owner;
    std::vector<Connection> connections;
    DWORD nextCookie;
};
