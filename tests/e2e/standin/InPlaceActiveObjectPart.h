#pragma once

#include <windows.h>
#include <ole2.h>

class StandInBrowser;

// IOleInPlaceActiveObject of the stand-in: the host's message loop offers it keys.
class InPlaceActiveObjectPart : public IOleInPlaceActiveObject {
public:
    explicit InPlaceActiveObjectPart(StandInBrowser& owner);
    virtual ~InPlaceActiveObjectPart() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL enterMode) override;

    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* uiWindow, WINBOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL enable) override;

private:
    StandInBrowser& owner;
};
