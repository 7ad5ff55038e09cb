// Commands an HTML control sends up to its host.
#pragma once

#include <windows.h>
#include <docobj.h>

#include "webview/AxHostPart.h"

// Script errors of a page are answered here, so that the control never puts its error dialog
// in front of the player.
class AxCommandTarget : public AxHostPart<IOleCommandTarget> {
public:
    explicit AxCommandTarget(IUnknown* outer);

    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;
};
