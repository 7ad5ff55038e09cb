#pragma once

#include "OleWindowPart.h"

#include <windows.h>
#include <ole2.h>

// IOleInPlaceActiveObject of the stand-in: the host's message loop offers it keys.
class InPlaceActiveObjectPart : public OleWindowPart<IOleInPlaceActiveObject> {
public:
    explicit InPlaceActiveObjectPart(StandInBrowser& owner);

    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* uiWindow, WINBOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL enable) override;
};
