// The services the site offers the control: its security manager, and nothing else.
#pragma once

#include <windows.h>
#include <servprov.h>

#include "webview/AxHostPart.h"

class AxServiceProvider : public AxHostPart<IServiceProvider> {
public:
    explicit AxServiceProvider(IUnknown* outer);

    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;
};
