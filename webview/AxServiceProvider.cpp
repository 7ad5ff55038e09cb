// Hands the control the host's security manager.
#include "webview/AxServiceProvider.h"

#include <urlmon.h>

AxServiceProvider::AxServiceProvider(IUnknown* outer)
    : AxHostPart(outer)
{
}

STDMETHODIMP AxServiceProvider::QueryService(REFGUID service, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    // The security manager is a part of the site, with the site's identity.
    if (IsEqualGUID(service, SID_SInternetSecurityManager))
        return QueryInterface(iid, object);
    *object = nullptr;
    return E_NOINTERFACE;
}
