#include "HostClientSite.h"

#include "HostSite.h"

#include "../standin/ComPointers.h"

HostClientSite::HostClientSite(HostSite& owner)
    : DelegatingPart(owner)
{
}

HRESULT STDMETHODCALLTYPE HostClientSite::SaveObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    return NoObject(moniker, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE HostClientSite::GetContainer(IOleContainer** container)
{
    return NoObject(container, E_NOINTERFACE);
}

HRESULT STDMETHODCALLTYPE HostClientSite::ShowObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostClientSite::OnShowWindow(WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostClientSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}
