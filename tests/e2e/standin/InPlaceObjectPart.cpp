#include "InPlaceObjectPart.h"

#include "StandInBrowser.h"

InPlaceObjectPart::InPlaceObjectPart(StandInBrowser& owner)
    : OleWindowPart(owner)
{
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::InPlaceDeactivate()
{
    owner.AddRef();
    HRESULT result = owner.OleObject().InPlaceDeactivate();
    owner.Release();
    return result;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::UIDeactivate()
{
    owner.AddRef();
    HRESULT result = owner.OleObject().UIDeactivate();
    owner.Release();
    return result;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::SetObjectRects(LPCRECT position, LPCRECT clip)
{
    return owner.OleObject().SetObjectRects(position, clip);
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::ReactivateAndUndo()
{
    return E_NOTIMPL;
}
