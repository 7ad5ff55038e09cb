// An owning holder for one icon.
#pragma once

#include <windows.h>

#include "toolkit/UniqueHandle.h"

struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using IconHandle = UniqueHandle<HICON, DestroyIconHandle>;
