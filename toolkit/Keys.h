// What a key message tells beyond its key.
#pragma once

#include <windows.h>

// A key's press, not a repeat of a key held down (the previous-state bit of the message).
inline bool IsFirstPress(LPARAM keyData)
{
    const LPARAM heldBefore = 1 << 30;
    return !(keyData & heldBefore);
}
