// The display scale's look-ups, rounding and art.
#include "toolkit/Dpi.h"

#include <cstring>
#include <cwchar>

#include "resources/ResourceIds.h"

#include "toolkit/Monitors.h"
#include "toolkit/Resampler.h"
#include "toolkit/SystemLibrary.h"
#include "toolkit/WindowDC.h"

namespace {

// MDT_EFFECTIVE_DPI: the DPI the system scales the monitor's windows to.
const int effectiveDpi = 0;

HMODULE User32()
{
    return GetModuleHandleW(L"user32.dll");
}

Dpi::EntryPoints LookUpEntryPoints()
{
    Dpi::EntryPoints found = {nullptr, nullptr, &GetDeviceCaps};
    // Windows 10 1607 and 8.1 on: looked up by name, the launcher also starts on Windows 7.
    found.forWindow = SystemLibrary::Find<GetDpiForWindowProc>(User32(), "GetDpiForWindow");
    HMODULE shcore = SystemLibrary::Load(L"shcore.dll");
    found.forMonitor = SystemLibrary::Find<GetDpiForMonitorProc>(shcore, "GetDpiForMonitor");
    return found;
}

Dpi::EntryPoints& Current()
{
    static Dpi::EntryPoints entryPoints = LookUpEntryPoints();
    return entryPoints;
}

// Division that rounds towards minus infinity, for edges left or above an origin.
int FloorDivide(long long value, int divisor)
{
    long long quotient = value / divisor;
    return static_cast<int>(quotient * divisor > value ? quotient - 1 : quotient);
}

// The DPI at which the system gives its metrics where it cannot give them for another.
int SystemDpi()
{
    WindowDC screen(nullptr);
    int pixels = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return pixels > 0 ? pixels : Dpi::design;
}

// A bitmap premultiplied at a place of a transparent canvas; null where it does not fit.
ImagePtr Placed(ImagePtr image, SIZE canvas, POINT at)
{
    if (!image || image->GetType() != Gdiplus::ImageTypeBitmap)
        return nullptr;
    // A decoded PNG is a bitmap, whatever class it was made through. It is read as decoded, so
    // that GDI+ converts nothing.
    auto* source = static_cast<Gdiplus::Bitmap*>(image.get());
    Gdiplus::Rect rect(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
    if (rect.Width <= 0 || rect.Height <= 0 || at.x < 0 || at.y < 0 || at.x + rect.Width > canvas.cx
        || at.y + rect.Height > canvas.cy)
        return nullptr;
    ImagePtr placed(new Gdiplus::Bitmap(canvas.cx, canvas.cy, PixelFormat32bppPARGB));
    auto* target = static_cast<Gdiplus::Bitmap*>(placed.get());
    Gdiplus::Rect whole(0, 0, canvas.cx, canvas.cy);
    Gdiplus::BitmapData from;
    if (source->LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok)
        return nullptr;
    Gdiplus::BitmapData to;
    bool done = target->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &to) == Gdiplus::Ok;
    if (done) {
        // Transparent around the image's pixels.
        for (INT y = 0; y < canvas.cy; ++y) {
            BYTE* row = static_cast<BYTE*>(to.Scan0) + static_cast<ptrdiff_t>(y) * to.Stride;
            memset(row, 0, static_cast<size_t>(canvas.cx) * 4);
            if (y >= at.y && y < at.y + rect.Height)
                Resampler::Premultiply(static_cast<const BYTE*>(from.Scan0) + static_cast<ptrdiff_t>(y - at.y) * from.Stride,
                    row + static_cast<ptrdiff_t>(at.x) * 4, rect.Width);
        }
        target->UnlockBits(&to);
    }
    source->UnlockBits(&from);
    return done ? std::move(placed) : nullptr;
}

// A PNG resource as art of a canvas size: itself where it is that size; where it is stored
// cropped to its pixels that are not wholly transparent (its oFFs chunk gives their place),
// placed on a transparent canvas of that size, premultiplied. Null where there is none.
ImagePtr LoadCanvas(WORD id, const wchar_t* type, SIZE canvas)
{
    WindManager* manager = WindManager::Instance();
    SIZE size = {};
    POINT offset = {};
    if (!manager->PngResourceSize(id, type, size, &offset))
        return nullptr;
    ImagePtr art = manager->LoadPngResource(id, type);
    if (!art || art->GetWidth() != static_cast<UINT>(size.cx) || art->GetHeight() != static_cast<UINT>(size.cy))
        return nullptr;
    if (size.cx == canvas.cx && size.cy == canvas.cy && !offset.x && !offset.y)
        return art;
    return Placed(std::move(art), canvas, offset);
}

} // namespace

int Dpi::OfWindow(HWND window)
{
    const EntryPoints& entryPoints = Current();
    UINT dpi = window && entryPoints.forWindow ? entryPoints.forWindow(window) : 0;
    if (dpi)
        return static_cast<int>(dpi);
    return OfMonitor(window ? Monitors::OfWindow(window) : nullptr);
}

int Dpi::OfMonitor(HMONITOR monitor)
{
    const EntryPoints& entryPoints = Current();
    if (!monitor)
        monitor = Monitors::Primary();
    UINT x = 0;
    UINT y = 0;
    if (entryPoints.forMonitor && monitor && SUCCEEDED(entryPoints.forMonitor(monitor, effectiveDpi, &x, &y)) && x)
        return static_cast<int>(x);
    if (entryPoints.deviceCaps) {
        WindowDC screen(nullptr);
        int pixels = entryPoints.deviceCaps(screen.Get(), LOGPIXELSX);
        if (pixels > 0)
            return pixels;
    }
    return design;
}

Dpi::EntryPoints Dpi::GetEntryPoints()
{
    return Current();
}

void Dpi::SetEntryPoints(const EntryPoints& entryPoints)
{
    Current() = entryPoints;
}

int Dpi::Scale(int edge, int dpi)
{
    return FloorDivide(static_cast<long long>(edge) * dpi + design / 2, design);
}

RECT Dpi::Scale(const RECT& rect, int dpi)
{
    return RECT{Scale(rect.left, dpi), Scale(rect.top, dpi), Scale(rect.right, dpi), Scale(rect.bottom, dpi)};
}

RECT Dpi::ScaleOutward(const RECT& rect, int dpi)
{
    auto down = [dpi](LONG edge) { return FloorDivide(static_cast<long long>(edge) * dpi, design); };
    auto up = [dpi](LONG edge) { return -FloorDivide(-static_cast<long long>(edge) * dpi, design); };
    return RECT{down(rect.left), down(rect.top), up(rect.right), up(rect.bottom)};
}

LOGFONTW Dpi::CaptionFont(int dpi)
{
    static const auto forDpi =
        SystemLibrary::Find<SystemParametersInfoForDpiProc>(User32(), "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfCaptionFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfCaptionFont.lfHeight = MulDiv(metrics.lfCaptionFont.lfHeight, dpi, SystemDpi());
    return metrics.lfCaptionFont;
}

int Dpi::SmallIconSize(int dpi)
{
    static const auto forDpi = SystemLibrary::Find<GetSystemMetricsForDpiProc>(User32(), "GetSystemMetricsForDpi");
    int size = forDpi ? forDpi(SM_CXSMICON, static_cast<UINT>(dpi)) : 0;
    return size > 0 ? size : MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, SystemDpi());
}

ImagePtr Dpi::LoadArt(WORD id, int dpi, SIZE& designSize)
{
    WindManager* manager = WindManager::Instance();
    if (dpi != design && manager->PngResourceSize(id, L"PNG", designSize)) {
        // Resampled ahead for a common scale, at the size it is laid out at; its type names the scale.
        if (dpi * 100 % design == 0) {
            wchar_t type[16];
            swprintf(type, sizeof(type) / sizeof(type[0]), L"PNG%d", dpi * 100 / design);
            if (ImagePtr art = LoadCanvas(id, type, SIZE{Scale(designSize.cx, dpi), Scale(designSize.cy, dpi)}))
                return art;
        }
        if (ImagePtr twin = LoadCanvas(static_cast<WORD>(IMAGE_TWIN(id)), L"PNG",
                SIZE{2 * designSize.cx, 2 * designSize.cy}))
            return twin;
    }
    ImagePtr image = manager->LoadPngResource(id, L"PNG");
    designSize = image ? SIZE{static_cast<LONG>(image->GetWidth()), static_cast<LONG>(image->GetHeight())} : SIZE{};
    return image;
}

ImagePtr Dpi::Premultiplied(ImagePtr image)
{
    if (!image || image->GetType() != Gdiplus::ImageTypeBitmap || image->GetPixelFormat() == PixelFormat32bppPARGB)
        return image;
    SIZE size = {static_cast<LONG>(image->GetWidth()), static_cast<LONG>(image->GetHeight())};
    return Placed(std::move(image), size, POINT{0, 0});
}

ImagePtr Dpi::Resample(ImagePtr image, SIZE size)
{
    if (!image || (image->GetWidth() == static_cast<UINT>(size.cx) && image->GetHeight() == static_cast<UINT>(size.cy)))
        return image;
    if (image->GetType() != Gdiplus::ImageTypeBitmap || size.cx <= 0 || size.cy <= 0)
        return nullptr;
    ImagePtr source = Premultiplied(std::move(image));
    if (!source)
        return nullptr;
    auto* from = static_cast<Gdiplus::Bitmap*>(source.get());
    Gdiplus::Rect sourceRect(0, 0, static_cast<INT>(source->GetWidth()), static_cast<INT>(source->GetHeight()));
    Gdiplus::BitmapData pixels;
    if (from->LockBits(&sourceRect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &pixels) != Gdiplus::Ok)
        return nullptr;
    ImagePtr resampled(new Gdiplus::Bitmap(size.cx, size.cy, PixelFormat32bppPARGB));
    auto* target = static_cast<Gdiplus::Bitmap*>(resampled.get());
    Gdiplus::Rect targetRect(0, 0, size.cx, size.cy);
    Gdiplus::BitmapData to;
    bool done = target->LockBits(&targetRect, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &to) == Gdiplus::Ok;
    if (done) {
        done = Resampler::Resample(PixelRows{static_cast<BYTE*>(pixels.Scan0), sourceRect.Width, sourceRect.Height,
                                       pixels.Stride},
            PixelRows{static_cast<BYTE*>(to.Scan0), size.cx, size.cy, to.Stride});
        target->UnlockBits(&to);
    }
    from->UnlockBits(&pixels);
    return done ? std::move(resampled) : nullptr;
}

ImagePtr Dpi::LoadScaledArt(WORD id, int dpi, SIZE& designSize)
{
    ImagePtr art = LoadArt(id, dpi, designSize);
    return Resample(std::move(art), SIZE{Scale(designSize.cx, dpi), Scale(designSize.cy, dpi)});
}
