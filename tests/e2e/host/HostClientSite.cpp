#include "HostClientSite.h"

#include "HostSite.h"

HostClientSite::HostClientSite(HostSite& owner)
    : owner(owner)
{
}

HRESULT STDMETHODCALLTYPE HostClientSite::QueryInterface(REFIID riid, void** object)
{
    return owner.QueryInterface(riid, object);
}

ULONG STDMETHODCALLTYPE HostClientSite::AddRef()
{
    return owner.AddRef();
}

ULONG STDMETHODCALLTYPE HostClientSite::Release()
{
    return owner.Release();
}

HRESULT STDMETHODCALLTYPE HostClientSite::SaveObject()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE HostClientSite::GetContainer(IOleContainer** container)
{
    if (container != nullptr) {
        *container = nullptr;
    }
    return E_NOINTERFACE;
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
