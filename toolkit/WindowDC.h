// The DC of a window for the length of a scope.
#pragma once

#include <windows.h>

#include "toolkit/UniqueHandle.h"

struct ReleaseWindowDC {
    HWND window = nullptr;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};

class WindowDC : public UniqueHandle<HDC, ReleaseWindowDC> {
public:
    explicit WindowDC(HWND window) : UniqueHandle(GetDC(window), ReleaseWindowDC{window}) {}
};
