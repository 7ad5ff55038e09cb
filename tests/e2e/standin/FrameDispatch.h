#pragma once

#include "UntypedDispatch.h"

// The dispatch object of a frame inside the stand-in's page: another COM identity than the
// control's, passed as pDisp of an event that concerns that frame only.
class FrameDispatch : public UntypedDispatch {
public:
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    void* Find(REFIID riid) override;
};
