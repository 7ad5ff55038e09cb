// Where a popup window's messages go.
#pragma once

#include <windows.h>

#include "toolkit/CallbackBase.h"

typedef LRESULT (CallbackBase::*WndProcHandler)(HWND, UINT, WPARAM, LPARAM);

// The object and member operation that a popup window's messages go to.
struct WndProcBinding {
    CallbackBase* owner;
    WndProcHandler handler;
};
