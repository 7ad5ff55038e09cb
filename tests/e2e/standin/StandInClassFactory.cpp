#include "StandInClassFactory.h"

#include "StandInBrowser.h"
#include "StandInModule.h"

#include <new>

HRESULT STDMETHODCALLTYPE StandInClassFactory::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The factory is static: it lives as long as the module, so the count only keeps the module loaded.
ULONG STDMETHODCALLTYPE StandInClassFactory::AddRef()
{
    StandInModule::Lock(true);
    return 2;
}

ULONG STDMETHODCALLTYPE StandInClassFactory::Release()
{
    StandInModule::Lock(false);
    return 1;
}

HRESULT STDMETHODCALLTYPE StandInClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    StandInBrowser* browser = new (std::nothrow) StandInBrowser();
    if (browser == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = browser->QueryInterface(riid, object);
    browser->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE StandInClassFactory::LockServer(WINBOOL lock)
{
    StandInModule::Lock(lock != FALSE);
    return S_OK;
}
