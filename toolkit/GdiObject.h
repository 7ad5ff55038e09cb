// An owning holder for one GDI object (bitmap, brush, font, ...).
#pragma once

#include <windows.h>

#include "toolkit/UniqueHandle.h"

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

template <typename H>
using GdiObject = UniqueHandle<H, DeleteGdiObject>;
