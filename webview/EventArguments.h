// Reads the arguments of the browser control's events only as far and in the types it sent them.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Entries are numbered from the last argument, as the control lays them out.
const VARIANT* Argument(const DISPPARAMS* params, UINT index);
// A string argument, or an empty string for a null BSTR or one that is not whole text.
const wchar_t* StringOf(const VARIANT* argument);
// A URL argument: a reference to a VARIANT that holds the string, or the string itself.
const wchar_t* AddressOf(const VARIANT* argument);
// A by-reference VARIANT argument: the VARIANT it refers to, or null.
const VARIANT* Referenced(const VARIANT* argument);
// A by-reference VARIANT_BOOL argument (Cancel), or null.
VARIANT_BOOL* CancelFlagOf(const VARIANT* argument);
bool IsBool(const VARIANT* argument);
// The frame name of NavigateError: a string, or nothing for the page itself.
bool IsFrameName(const VARIANT* name);
