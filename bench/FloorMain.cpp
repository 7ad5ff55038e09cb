#include <windows.h>
#include <gdiplus.h>
#include <oleauto.h>
#include <shellapi.h>
#include <urlmon.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "bench/QpcClock.h"
#include "resources/ResourceIds.h"
#include "toolkit/SurfaceBitmap.h"

// The floor of start-up: what any skinned window must do before it is on the screen. It decodes
// the skin through GDI+, creates a layered window, draws the skin onto a surface, presents it
// once and shows the window, with the launcher's imports and of its code only the surface's bitmap.
// Above 96 DPI it draws the skin drawn at twice the size, scaled to the screen's DPI on the way.

namespace {

const int designDpi = 96;
// The skin's size at 96 DPI.
const int skinWidth = 1186;
const int skinHeight = 954;

// Functions of the launcher's other system DLLs, so that Wine loads the same ones at start.
const void* volatile sameImports[3];

// The place an oFFs chunk before the image data gives a PNG on a larger canvas, else (0, 0).
POINT PngOffset(const BYTE* png, DWORD size)
{
    auto number = [](const BYTE* at) { return static_cast<LONG>(at[0] << 24 | at[1] << 16 | at[2] << 8 | at[3]); };
    for (DWORD at = 8; at + 12 <= size && memcmp(png + at + 4, "IDAT", 4) != 0;
         at += 12 + static_cast<DWORD>(number(png + at))) {
        if (memcmp(png + at + 4, "oFFs", 4) == 0 && at + 21 <= size)
            return POINT{number(png + at + 8), number(png + at + 12)};
    }
    return POINT{0, 0};
}

Gdiplus::Image* LoadSkin(WORD id, POINT& offset)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"PNG");
    DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    HGLOBAL block = size ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (!block)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    offset = PngOffset(bytes, size);
    memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)))
        return nullptr;
    auto* skin = new Gdiplus::Image(stream);
    stream->Release();
    return skin;
}

} // namespace

// With --idle the window stays shown, its thread waiting for messages, until the process is ended:
// the floor of what a shown window costs while nothing happens.
int wmain(int argc, wchar_t** argv)
{
    bool idle = argc == 2 && wcscmp(argv[1], L"--idle") == 0;
    int64_t entry = QpcClock::Now();
    long long entryUnixNs = QpcClock::UnixNanoseconds();
    sameImports[0] = reinterpret_cast<const void*>(&SysFreeString);
    sameImports[1] = reinterpret_cast<const void*>(&ShellExecuteW);
    sameImports[2] = reinterpret_cast<const void*>(&CoInternetSetFeatureEnabled);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    bool scaled = dpi != designDpi;
    // Above 96 DPI the twin holds the skin's pixels that are not wholly transparent, at their place.
    POINT offset = {};
    Gdiplus::Image* skin = LoadSkin(scaled ? IMAGE_TWIN(IMAGE_SKIN) : IMAGE_SKIN, offset);
    if (!skin)
        return 1;
    auto scale = [dpi, scaled](int twin) { return scaled ? (twin * dpi + designDpi) / (2 * designDpi) : twin; };
    int width = scaled ? scale(2 * skinWidth) : static_cast<int>(skin->GetWidth());
    int height = scaled ? scale(2 * skinHeight) : static_cast<int>(skin->GetHeight());

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BenchFloor";
    RegisterClassExW(&windowClass);
    int x = GetSystemMetrics(SM_CXFULLSCREEN) / 2 - width / 2;
    int y = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - height / 2;
    HWND window = CreateWindowExW(WS_EX_LAYERED, L"BenchFloor", L"", WS_POPUP, x, y, width, height, nullptr,
        nullptr, windowClass.hInstance, nullptr);

    HDC windowDC = GetDC(window);
    HDC surface = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateSurfaceBitmap(width, height);
    HGDIOBJ previous = SelectObject(surface, bitmap);
    {
        Gdiplus::Graphics graphics(surface);
        if (scaled) {
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        }
        graphics.DrawImage(skin, scale(offset.x), scale(offset.y), scale(offset.x + static_cast<int>(skin->GetWidth()))
            - scale(offset.x), scale(offset.y + static_cast<int>(skin->GetHeight())) - scale(offset.y));
    }
    POINT destination = {x, y};
    SIZE extent = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, windowDC, &destination, &extent, surface, &origin, 0, &blend, ULW_ALPHA);
    int64_t presented = QpcClock::Now();
    ReleaseDC(window, windowDC);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    int64_t shown = QpcClock::Now();

    printf("{\"entry_unix_ns\": %lld, \"first_present_ms\": %.3f, \"shown_ms\": %.3f}\n", entryUnixNs,
        QpcClock::Milliseconds(entry, presented), QpcClock::Milliseconds(entry, shown));
    fflush(stdout);
    MSG message;
    while (idle && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    DestroyWindow(window);
    SelectObject(surface, previous);
    DeleteDC(surface);
    DeleteObject(bitmap);
    delete skin;
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
