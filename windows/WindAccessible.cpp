// Answers screen readers for a launcher window and its buttons.
#include "windows/WindAccessible.h"

#include "toolkit/SystemLibrary.h"
#include "windows/Button.h"
#include "windows/ButtonPanel.h"

namespace {

// The accessibility library is loaded when a client first asks, not at every start. The
// interface is named by __uuidof: the import library of oleacc exports IID_IAccessible as data.
struct AccessibilityLibrary {
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;

    AccessibilityLibrary()
    {
        HMODULE module = SystemLibrary::Load(L"oleacc.dll");
        lresultFromObject = SystemLibrary::Find<decltype(lresultFromObject)>(module, "LresultFromObject");
        createStandard = SystemLibrary::Find<decltype(createStandard)>(module, "CreateStdAccessibleObject");
    }
};

const AccessibilityLibrary& Library()
{
    static const AccessibilityLibrary library;
    return library;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Child(VARIANT* out, long id)
{
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

HRESULT Nothing(VARIANT* out)
{
    out->vt = VT_EMPTY;
    return S_FALSE;
}

} // namespace

WindAccessible::WindAccessible(ButtonPanel* buttons, HWND ownerHandle)
    : panel(buttons)
    , handle(ownerHandle)
{
    const AccessibilityLibrary& library = Library();
    if (library.createStandard)
        library.createStandard(handle, OBJID_CLIENT, __uuidof(IAccessible), standard.PutVoid());
}

WindAccessible::~WindAccessible() = default;

LRESULT WindAccessible::Answer(WPARAM wParam)
{
    const AccessibilityLibrary& library = Library();
    return panel && library.lresultFromObject
        ? library.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(this))
        : 0;
}

void WindAccessible::Disconnect()
{
    panel = nullptr;
    standard.Reset();
    // Clients in other processes hold proxies: they are told at once instead of at their next call.
    CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

HRESULT WindAccessible::Begin(VARIANT* out, IAccessible*& self)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    self = Standard();
    return self ? S_OK : CO_E_OBJNOTCONNECTED;
}

IAccessible* WindAccessible::Standard()
{
    return panel ? standard.Get() : nullptr;
}

Button* WindAccessible::ButtonOf(const VARIANT& child) const
{
    if (!panel || child.vt != VT_I4 || child.lVal < 1)
        return nullptr;
    const std::vector<Button*>& buttons = panel->Buttons();
    return static_cast<size_t>(child.lVal) <= buttons.size() ? buttons[child.lVal - 1] : nullptr;
}

void* WindAccessible::Find(REFIID iid)
{
    return IsOneOf(iid, {&IID_IDispatch, &__uuidof(IAccessible)}) ? static_cast<IAccessible*>(this) : nullptr;
}

// Clients call IAccessible itself; there is no type information to call it through IDispatch.
STDMETHODIMP WindAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP WindAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

STDMETHODIMP WindAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP WindAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

STDMETHODIMP WindAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    IAccessible* self = Standard();
    return self ? self->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP WindAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(panel->Buttons().size());
    return S_OK;
}

STDMETHODIMP WindAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    // The buttons are simple elements, with no object of their own.
    return ButtonOf(child) ? S_FALSE : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    if (Button* button = ButtonOf(child)) {
        *name = SysAllocString(button->GetName());
        return S_OK;
    }
    if (!IsSelf(child))
        return E_INVALIDARG;
    wchar_t text[256] = {};
    GetWindowTextW(handle, text, ARRAYSIZE(text));
    *name = SysAllocString(text);
    return S_OK;
}

HRESULT WindAccessible::WindowText(TextOf get, VARIANT child, BSTR* text)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    IAccessible* self = Standard();
    if (!self)
        return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child))
        return (self->*get)(child, text);
    return ButtonOf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::get_accValue(VARIANT child, BSTR* value)
{
    return WindowText(&IAccessible::get_accValue, child, value);
}

STDMETHODIMP WindAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return WindowText(&IAccessible::get_accDescription, child, description);
}

STDMETHODIMP WindAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return WindowText(&IAccessible::get_accHelp, child, help);
}

STDMETHODIMP WindAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return WindowText(&IAccessible::get_accKeyboardShortcut, child, shortcut);
}

STDMETHODIMP WindAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    IAccessible* self = nullptr;
    HRESULT ready = Begin(role, self);
    if (ready != S_OK)
        return ready;
    if (ButtonOf(child))
        return Child(role, ROLE_SYSTEM_PUSHBUTTON);
    return IsSelf(child) ? self->get_accRole(child, role) : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::get_accState(VARIANT child, VARIANT* state)
{
    IAccessible* self = nullptr;
    HRESULT ready = Begin(state, self);
    if (ready != S_OK)
        return ready;
    if (Button* button = ButtonOf(child))
        return Child(state, static_cast<long>(button->AccessibleState()));
    return IsSelf(child) ? self->get_accState(child, state) : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::get_accHelpTopic(BSTR* helpFile, VARIANT, long* topic)
{
    if (!helpFile || !topic)
        return E_POINTER;
    *helpFile = nullptr;
    *topic = 0;
    return panel ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP WindAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != handle)
        return Nothing(child);
    const std::vector<Button*>& buttons = panel->Buttons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->HasFocusRing())
            return Child(child, static_cast<long>(i + 1));
    }
    return Child(child, CHILDID_SELF);
}

STDMETHODIMP WindAccessible::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    VariantInit(children);
    return panel ? Nothing(children) : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP WindAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (!action)
        return E_POINTER;
    *action = nullptr;
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    if (ButtonOf(child)) {
        *action = SysAllocString(L"Press");
        return S_OK;
    }
    return IsSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::accSelect(long flags, VARIANT child)
{
    IAccessible* self = Standard();
    if (!self)
        return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child))
        return self->accSelect(flags, child);
    return ButtonOf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

STDMETHODIMP WindAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    IAccessible* self = Standard();
    if (!self)
        return CO_E_OBJNOTCONNECTED;
    Button* button = ButtonOf(child);
    if (!button)
        return IsSelf(child) ? self->accLocation(left, top, width, height, child) : E_INVALIDARG;
    // The popup has no frame: the button's place in the window is its place in the client area.
    RECT rect = button->GetRect();
    MapWindowPoints(handle, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

STDMETHODIMP WindAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    IAccessible* self = nullptr;
    HRESULT ready = Begin(end, self);
    if (ready != S_OK)
        return ready;
    long count = static_cast<long>(panel->Buttons().size());
    if (IsSelf(start)) {
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)
            return count ? Child(end, direction == NAVDIR_FIRSTCHILD ? 1 : count) : Nothing(end);
        return self->accNavigate(direction, start, end);
    }
    if (!ButtonOf(start))
        return E_INVALIDARG;
    // Through the buttons in their order, as the keyboard goes.
    long id = start.lVal;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT || direction == NAVDIR_DOWN)
        return id < count ? Child(end, id + 1) : Nothing(end);
    if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT || direction == NAVDIR_UP)
        return id > 1 ? Child(end, id - 1) : Nothing(end);
    return Nothing(end);
}

STDMETHODIMP WindAccessible::accHitTest(long x, long y, VARIANT* child)
{
    IAccessible* self = nullptr;
    HRESULT ready = Begin(child, self);
    if (ready != S_OK)
        return ready;
    POINT point = {x, y};
    ScreenToClient(handle, &point);
    const std::vector<Button*>& buttons = panel->Buttons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        RECT rect = buttons[i]->GetRect();
        if (PtInRect(&rect, point))
            return Child(child, static_cast<long>(i + 1));
    }
    return self->accHitTest(x, y, child);
}

STDMETHODIMP WindAccessible::accDoDefaultAction(VARIANT child)
{
    if (!panel)
        return CO_E_OBJNOTCONNECTED;
    if (!ButtonOf(child))
        return IsSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    // The click runs after this call has returned: it may close the window or end the process.
    return panel->PressLater(child.lVal - 1) ? S_OK : E_FAIL;
}

STDMETHODIMP WindAccessible::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

STDMETHODIMP WindAccessible::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}
