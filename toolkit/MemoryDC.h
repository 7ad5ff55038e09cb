// An owning holder for a memory DC and the bitmap selected into it.
#pragma once

#include <windows.h>

// A memory DC that puts back the bitmap it replaced before it is deleted,
// so that the bitmap selected into it can be freed afterwards.
class MemoryDC {
public:
    MemoryDC() = default;
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() { Reset(); }

    bool Create(HDC compatibleWith);
    void Select(HBITMAP bitmap);
    void Reset();

    HDC Get() const { return dc; }

private:
    HDC dc = nullptr;
    HGDIOBJ originalBitmap = nullptr;
};
