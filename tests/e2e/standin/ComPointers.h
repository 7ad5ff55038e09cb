#pragma once

#include <windows.h>

// Lets go of a held COM reference. The pointer is cleared first: the Release may call back into
// its holder, which must find it gone.
template <typename T>
void ReleaseAndClear(T*& pointer)
{
    T* held = pointer;
    pointer = nullptr;
    if (held != nullptr) {
        held->Release();
    }
}

// Answers a call that hands out nothing: its out-parameter, when there is one, is cleared.
template <typename T>
HRESULT NoObject(T** object, HRESULT result)
{
    if (object != nullptr) {
        *object = nullptr;
    }
    return result;
}
