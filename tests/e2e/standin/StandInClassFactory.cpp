#include "StandInClassFactory.h"

#include "StandInBrowser.h"
#include "StandInModule.h"

StandInClassFactory::StandInClassFactory()
{
    StandInModule::ObjectCreated();
}

StandInClassFactory::~StandInClassFactory()
{
    StandInModule::ObjectDestroyed();
}

void* StandInClassFactory::Find(REFIID riid)
{
    return IsEqualIID(riid, IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
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
    return StandInModule::Make<StandInBrowser>(riid, object);
}

HRESULT STDMETHODCALLTYPE StandInClassFactory::LockServer(WINBOOL lock)
{
    StandInModule::Lock(lock != FALSE);
    return S_OK;
}
