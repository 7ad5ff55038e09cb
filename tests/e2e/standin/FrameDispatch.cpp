#include "FrameDispatch.h"

void* FrameDispatch::Find(REFIID riid)
{
    return IsEqualIID(riid, IID_IDispatch) ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE FrameDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
}
