#pragma once

#include "toolkit/ComObject.h"

// Class factory of the stand-in coclass, one made for each request of it. While it lives the
// module stays loaded, as with each stand-in.
class StandInClassFactory : public ComObject<IClassFactory> {
public:
    StandInClassFactory();

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL lock) override;

private:
    ~StandInClassFactory() override;
    void* Find(REFIID riid) override;
};
