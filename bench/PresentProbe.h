#pragma once

#include <cstdint>

#include "toolkit/WindManager.h"

// Watches every UpdateLayeredWindow the toolkit makes while it lives: counts them and notes
// when the first one came. Each call still goes on to the system.
class PresentProbe {
public:
    PresentProbe();
    ~PresentProbe();
    PresentProbe(const PresentProbe&) = delete;
    PresentProbe& operator=(const PresentProbe&) = delete;

    long long Count() const { return count; }
    // Performance-counter time of the first present, 0 before it.
    int64_t FirstPresent() const { return firstPresent; }

private:
    static BOOL WINAPI Counting(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
        POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);

    static long long count;
    static int64_t firstPresent;
    static UpdateLayeredWindowProc forward;
    UpdateLayeredWindowProc realUpdate;
    SetLayeredWindowAttributesProc realAttributes;
};
