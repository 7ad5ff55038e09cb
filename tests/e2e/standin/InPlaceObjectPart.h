#pragma once

#include "OleWindowPart.h"

#include <windows.h>
#include <ole2.h>

// IOleInPlaceObject (and IOleWindow) of the stand-in.
class InPlaceObjectPart : public OleWindowPart<IOleInPlaceObject> {
public:
    explicit InPlaceObjectPart(StandInBrowser& owner);

    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
};
