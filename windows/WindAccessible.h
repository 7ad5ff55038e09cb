// What screen readers see of a launcher window: the window and its buttons.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include "toolkit/ComObject.h"
#include "toolkit/ComPtr.h"

class Button;
class ButtonPanel;

// The window, named by its text, with the buttons of its panel as children. A child's id is its
// place in the panel's order, from 1. The window owns it and disconnects it when it is destroyed;
// references still held then answer that the object is gone.
class WindAccessible final : public ComObject<IAccessible> {
public:
    WindAccessible(ButtonPanel* panel, HWND handle);

    // The answer to WM_GETOBJECT for the client area; 0 when the system cannot give it.
    LRESULT Answer(WPARAM wParam);
    void Disconnect();

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override;
    STDMETHODIMP put_accValue(VARIANT, BSTR) override;

private:
    typedef HRESULT (STDMETHODCALLTYPE IAccessible::*TextOf)(VARIANT, BSTR*);

    ~WindAccessible() override;
    void* Find(REFIID iid) override;
    // The system's own object for the client area answers for the window itself (its parent,
    // state and place, moving out of it); null once disconnected.
    IAccessible* Standard();
    // Empties a VARIANT to answer in and finds the system's object: S_OK, or the error to answer.
    HRESULT Begin(VARIANT* out, IAccessible*& self);
    // The button a child id names, or null (the window itself or no such child).
    Button* ButtonOf(const VARIANT& child) const;
    // A text that only the window itself has (the buttons have none).
    HRESULT WindowText(TextOf get, VARIANT child, BSTR* text);

    ButtonPanel* panel;
    HWND handle;
    ComPtr<IAccessible> standard;
};
