#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <vector>

#include "toolkit/WindManager.h"

// Handles every message waiting for this thread, the way a message loop would.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Handles what is waiting and answers the code of the last WM_QUIT among it, or -1.
inline int TakeQuitCode()
{
    MSG message;
    int code = -1;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            code = static_cast<int>(message.wParam);
        else
            DispatchMessageW(&message);
    }
    return code;
}

inline bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

inline SIZE_T ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

// The pixels of a 32-bit bottom-up bitmap, read back as BGRA rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;

    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    static uint8_t Alpha(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 24); }
};

// A bitmap's pixels premultiplied as GDI+ gives them, top-down: what a surface holds of it.
inline std::vector<uint32_t> PremultipliedPixels(Gdiplus::Image* image)
{
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
    Gdiplus::Rect all(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
    Gdiplus::BitmapData data;
    std::vector<uint32_t> pixels;
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return pixels;
    for (int y = 0; y < all.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        pixels.insert(pixels.end(), row, row + all.Width);
    }
    bitmap->UnlockBits(&data);
    return pixels;
}

inline Pixels ReadBitmap(HDC dc, HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    Pixels pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.data.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data.data(), &header, DIB_RGB_COLORS);
    return pixels;
}
