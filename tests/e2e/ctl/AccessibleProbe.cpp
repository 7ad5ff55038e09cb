#include "AccessibleProbe.h"

#include "ConsoleOutput.h"

#include <oleacc.h>

#include <string>

namespace {

std::wstring Take(BSTR text)
{
    std::wstring taken = text ? text : L"";
    SysFreeString(text);
    return taken;
}

// One child, or the object itself for CHILDID_SELF; answers its name.
std::wstring PrintChild(IAccessible* accessible, long id)
{
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    BSTR name = nullptr;
    BSTR action = nullptr;
    VARIANT role;
    VARIANT state;
    VariantInit(&role);
    VariantInit(&state);
    long left = 0, top = 0, width = 0, height = 0;
    accessible->get_accName(child, &name);
    accessible->get_accRole(child, &role);
    accessible->get_accState(child, &state);
    accessible->get_accDefaultAction(child, &action);
    accessible->accLocation(&left, &top, &width, &height, child);
    std::wstring nameText = Take(name);
    ConsoleOutput::Line(L"id=" + std::to_wstring(id) + L"\tname=" + ConsoleOutput::Escape(nameText) +
        L"\trole=" + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1) +
        L"\tstate=" + ConsoleOutput::Hex(state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0) +
        L"\trect=" + ConsoleOutput::Rect(left, top, left + width, top + height) +
        L"\taction=" + ConsoleOutput::Escape(Take(action)));
    return nameText;
}

} // namespace

int AccessibleProbe::Print(HWND window, const wchar_t* press)
{
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    HRESULT result = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
        reinterpret_cast<void**>(&accessible));
    if (FAILED(result) || !accessible) {
        ConsoleOutput::Error(L"no accessible object: " + ConsoleOutput::Hex(static_cast<unsigned long>(result)));
        CoUninitialize();
        return 3;
    }
    long count = 0;
    accessible->get_accChildCount(&count);
    PrintChild(accessible, CHILDID_SELF);
    long pressed = 0;
    for (long id = 1; id <= count; ++id) {
        std::wstring name = PrintChild(accessible, id);
        if (press && name == press)
            pressed = id;
    }
    int code = press && !pressed ? 3 : 0;
    if (pressed) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = pressed;
        result = accessible->accDoDefaultAction(child);
        ConsoleOutput::Line(L"pressed=" + std::wstring(press) + L"\tresult=" +
            ConsoleOutput::Hex(static_cast<unsigned long>(result)));
        code = SUCCEEDED(result) ? 0 : 3;
    }
    accessible->Release();
    CoUninitialize();
    return code;
}
