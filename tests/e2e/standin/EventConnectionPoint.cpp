#include "EventConnectionPoint.h"

#include "ComPointers.h"
#include "StandInBrowser.h"
#include "StandInLog.h"

#include <exdisp.h>
#include <olectl.h>


EventConnectionPoint::EventConnectionPoint(StandInBrowser& owner)
    : DelegatingPart(owner),
      nextCookie(1)
{
}

EventConnectionPoint::~EventConnectionPoint()
{
    DisconnectAll();
}

bool EventConnectionPoint::IsAdvised(DWORD cookie) const
{
    for (const Connection& connection : connections) {
        if (connection.cookie == cookie) {
            return true;
        }
    }
    return false;
}

int EventConnectionPoint::Raise(DISPID dispid, DISPPARAMS* params)
{
    std::vector<Connection> snapshot = connections;
    for (const Connection& connection : snapshot) {
        connection.sink->AddRef();
    }
    int called = 0;
    owner.EnterEvent();
    for (const Connection& connection : snapshot) {
        // A sink unadvised by an earlier one during this event gets no more calls.
        if (IsAdvised(connection.cookie)) {
            connection.sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, nullptr, nullptr,
                nullptr);
            ++called;
        }
    }
    owner.LeaveEvent();
    for (const Connection& connection : snapshot) {
        connection.sink->Release();
    }
    return called;
}

void EventConnectionPoint::DisconnectAll()
{
    std::vector<Connection> released;
    released.swap(connections);
    for (const Connection& connection : released) {
        connection.sink->Release();
    }
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    return owner.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    const wchar_t* as = L"DWebBrowserEvents2";
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch)))
        || dispatch == nullptr) {
        as = L"IDispatch";
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || dispatch == nullptr) {
            StandInLog::Write(L"Advise", L"obj=%u refused=no-IDispatch", owner.Serial());
            return CONNECT_E_CANNOTCONNECT;
        }
    }
    *cookie = nextCookie++;
    connections.push_back(Connection{*cookie, dispatch});
    StandInLog::Write(L"Advise", L"obj=%u cookie=%lu as=%ls sinks=%u", owner.Serial(), *cookie, as,
        static_cast<unsigned>(connections.size()));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie)
{
    owner.CheckApartment(L"Unadvise");
    // A host unadvises while the control still has its site; the platform's control may
    // already have torn its events down once the site is gone.
    if (owner.OleObject().SiteCleared()) {
        StandInLog::Write(L"Fault", L"obj=%u kind=UnadviseWithoutSite cookie=%lu", owner.Serial(), cookie);
    }
    for (auto it = connections.begin(); it != connections.end(); ++it) {
        if (it->cookie == cookie) {
            IDispatch* sink = it->sink;
            connections.erase(it);
            StandInLog::Write(L"Unadvise", L"obj=%u cookie=%lu sinks=%u", owner.Serial(), cookie,
                static_cast<unsigned>(connections.size()));
            sink->Release();
            return S_OK;
        }
    }
    StandInLog::Write(L"Unadvise", L"obj=%u cookie=%lu unknown", owner.Serial(), cookie);
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** enumerator)
{
    return NoObject(enumerator, E_NOTIMPL);
}
