#pragma once

#include "../standin/DelegatingPart.h"

#include <windows.h>
#include <ole2.h>

class HostSite;

// IOleClientSite of the test host's site; delegates IUnknown to the site.
class HostClientSite : public DelegatingPart<IOleClientSite, HostSite> {
public:
    explicit HostClientSite(HostSite& owner);

    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
};
