#pragma once

#include <windows.h>
#include <ole2.h>

class StandInBrowser;

// IOleInPlaceObject (and IOleWindow) of the stand-in.
class InPlaceObjectPart : public IOleInPlaceObject {
public:
    explicit InPlaceObjectPart(StandInBrowser& owner);
    virtual ~InPlaceObjectPart() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL enterMode) override;

    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

private:
    StandInBrowser& owner;
};
