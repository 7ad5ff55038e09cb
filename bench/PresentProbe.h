#pragma once

#include <cstdint>

#include "toolkit/WindManager.h"

// Watches every layered-window present the toolkit makes while it lives, whole
// (UpdateLayeredWindow) or of a part (UpdateLayeredWindowIndirect): counts them and notes when
// the first one came. Each call still goes on to the system.
class PresentProbe {
public:
    PresentProbe();
    ~PresentProbe();
    PresentProbe(const PresentProbe&) = delete;
    PresentProbe& operator=(const PresentProbe&) = delete;

    long long Count() const { return count; }
    long long PartialCount() const { return partialCount; }
    // Performance-counter time of the first present, 0 before it.
    int64_t FirstPresent() const { return firstPresent; }

private:
    static BOOL WINAPI Counting(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
        POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);
    static BOOL WINAPI CountingPartial(HWND window, const UPDATELAYEREDWINDOWINFO* info);
    static void Counted();

    static long long count;
    static long long partialCount;
    static int64_t firstPresent;
    static UpdateLayeredWindowProc forward;
    static UpdateLayeredWindowIndirectProc forwardPartial;
    UpdateLayeredWindowProc realUpdate;
    SetLayeredWindowAttributesProc realAttributes;
    UpdateLayeredWindowIndirectProc realPartial;
};
