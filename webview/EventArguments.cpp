// The event argument readers: nothing the control sends is trusted to have the published shape.
#include "webview/EventArguments.h"

#include <cwchar>

namespace {

const wchar_t noText[] = L"";

} // namespace

const VARIANT* Argument(const DISPPARAMS* params, UINT index)
{
    if (!params->rgvarg || index >= params->cArgs)
        return nullptr;
    return &params->rgvarg[index];
}

// An odd byte count leaves no wide NUL at the string's end, and a NUL inside would hide the rest
// from the callback.
const wchar_t* StringOf(const VARIANT* argument)
{
    if (!argument || argument->vt != VT_BSTR || !argument->bstrVal)
        return noText;
    BSTR text = argument->bstrVal;
    UINT length = SysStringLen(text);
    if (SysStringByteLen(text) != length * sizeof(wchar_t) || wcsnlen(text, length) != length)
        return noText;
    return text;
}

const wchar_t* AddressOf(const VARIANT* argument)
{
    if (argument && argument->vt == (VT_BYREF | VT_VARIANT))
        return argument->pvarVal ? StringOf(argument->pvarVal) : noText;
    return StringOf(argument);
}

const VARIANT* Referenced(const VARIANT* argument)
{
    if (!argument || argument->vt != (VT_BYREF | VT_VARIANT))
        return nullptr;
    return argument->pvarVal;
}

VARIANT_BOOL* CancelFlagOf(const VARIANT* argument)
{
    if (!argument || argument->vt != (VT_BYREF | VT_BOOL))
        return nullptr;
    return argument->pboolVal;
}

bool IsBool(const VARIANT* argument)
{
    return argument && argument->vt == VT_BOOL;
}

bool IsFrameName(const VARIANT* name)
{
    return name && (name->vt == VT_BSTR || name->vt == VT_EMPTY || name->vt == VT_NULL);
}
