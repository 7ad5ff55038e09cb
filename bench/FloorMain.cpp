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

// Functions of the launcher's other system DLLs, so that Wine loads the same ones at start.
const void* volatile sameImports[3];

Gdiplus::Image* LoadSkin(WORD id)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"PNG");
    DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    HGLOBAL block = size ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (!block)
        return nullptr;
    memcpy(GlobalLock(block), LockResource(LoadResource(nullptr, resource)), size);
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
    Gdiplus::Image* skin = LoadSkin(scaled ? IMAGE_TWIN(IMAGE_SKIN) : IMAGE_SKIN);
    if (!skin)
        return 1;
    int width = static_cast<int>(skin->GetWidth());
    int height = static_cast<int>(skin->GetHeight());
    if (scaled) {
        width = (width / 2 * dpi + designDpi / 2) / designDpi;
        height = (height / 2 * dpi + designDpi / 2) / designDpi;
    }

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
        graphics.DrawImage(skin, 0, 0, width, height);
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
