#include "InPlaceObjectPart.h"

#include "StandInBrowser.h"

InPlaceObjectPart::InPlaceObjectPart(StandInBrowser& owner)
    : owner(owner)
{
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::QueryInterface(REFIID riid, void** object)
{
    return owner.QueryInterface(riid, object);
}

ULONG STDMETHODCALLTYPE InPlaceObjectPart::AddRef()
{
    return owner.AddRef();
}

ULONG STDMETHODCALLTYPE InPlaceObjectPart::Release()
{
    return owner.Release();
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::GetWindow(HWND* window)
{
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = owner.Window().Handle();
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlaceObjectPart::ContextSensitiveHelp(WINBOOL)
{
    return E_NOTIMPL;
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
