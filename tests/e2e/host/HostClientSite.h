#pragma once

#include <windows.h>
#include <ole2.h>

class HostSite;

// IOleClientSite of the test host's site; delegates IUnknown to the site.
class HostClientSite : public IOleClientSite {
public:
    explicit HostClientSite(HostSite& owner);
    virtual ~HostClientSite() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

private:
    HostSite& owner;
};
