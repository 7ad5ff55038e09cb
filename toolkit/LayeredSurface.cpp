// Draws, redraws and presents a per-pixel-alpha window's surface.
#include "toolkit/LayeredSurface.h"

#include "toolkit/Dpi.h"
#include "toolkit/Resampler.h"
#include "toolkit/SurfaceBitmap.h"
#include "toolkit/WindowDC.h"

LayeredSurface::LayeredSurface()
    : window(nullptr)
    , blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}
    , skinResource(0)
    , skinDesignSize{}
    , dirtyRect{}
    , presented(false)
{
}

bool LayeredSurface::Create(HWND target, ImagePtr newSkin)
{
    if (!target || !newSkin)
        return false;
    window = target;
    skin = std::move(newSkin);
    WindowDC windowDC(window);
    dc.Create(windowDC.Get());
    Build();
    Push(windowDC.Get(), nullptr);
    return true;
}

void LayeredSurface::SetSkinResource(WORD id, SIZE designSize)
{
    skinResource = id;
    skinDesignSize = designSize;
}

bool LayeredSurface::Rescale(int dpi)
{
    if (!skin || !skinResource)
        return false;
    SIZE design = {};
    ImagePtr scaled = Dpi::LoadScaledArt(skinResource, dpi, design);
    if (!scaled)
        return false;
    skin = std::move(scaled);
    Build();
    return true;
}

bool LayeredSurface::ScaledSize(int dpi, SIZE& size) const
{
    if (!skinResource)
        return false;
    size = SIZE{Dpi::Scale(skinDesignSize.cx, dpi), Dpi::Scale(skinDesignSize.cy, dpi)};
    return true;
}

SIZE LayeredSurface::Size() const
{
    return skin ? SIZE{static_cast<LONG>(skin->GetWidth()), static_cast<LONG>(skin->GetHeight())} : SIZE{};
}

void LayeredSurface::Build()
{
    graphics.reset();
    SIZE size = Size();
    // Selected before the bitmap it replaces is freed: a selected bitmap cannot be deleted.
    HBITMAP surfaceBitmap = CreateSurfaceBitmap(size.cx, size.cy);
    dc.Select(surfaceBitmap);
    bitmap.Reset(surfaceBitmap);

    // Without a working Graphics the skin cannot be drawn, and buttons must see no surface.
    graphics.reset(new Gdiplus::Graphics(dc.Get()));
    if (graphics->GetLastStatus() != Gdiplus::Ok)
        graphics.reset();
    else
        CopySkin(RECT{0, 0, size.cx, size.cy});
}

void LayeredSurface::CopySkin(const RECT& area)
{
    // The surface holds premultiplied pixels: the skin's, copied, are the skin drawn over a
    // transparent surface, without GDI+ blending every pixel. The skin is read as it was decoded,
    // so that GDI+ converts nothing, and premultiplied here where it is not yet.
    DIBSECTION section = {};
    if (GetObjectW(bitmap.Get(), sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits)
        return;
    auto* source = skin->GetType() == Gdiplus::ImageTypeBitmap ? static_cast<Gdiplus::Bitmap*>(skin.get()) : nullptr;
    const bool premultiplied = source && source->GetPixelFormat() == PixelFormat32bppPARGB;
    Gdiplus::Rect rect(area.left, area.top, area.right - area.left, area.bottom - area.top);
    Gdiplus::BitmapData pixels;
    if (!source || source->LockBits(&rect, Gdiplus::ImageLockModeRead,
                       premultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB, &pixels) != Gdiplus::Ok)
        return;
    // Whatever GDI has batched for the surface lands before the copy.
    GdiFlush();
    auto* surfaceBits = static_cast<BYTE*>(section.dsBm.bmBits);
    for (INT y = 0; y < rect.Height; ++y) {
        // The surface's rows are bottom-up.
        BYTE* row = surfaceBits + static_cast<ptrdiff_t>(section.dsBm.bmHeight - 1 - (rect.Y + y))
            * section.dsBm.bmWidthBytes + static_cast<ptrdiff_t>(rect.X) * 4;
        const BYTE* from = static_cast<const BYTE*>(pixels.Scan0) + static_cast<ptrdiff_t>(y) * pixels.Stride;
        if (premultiplied)
            memcpy(row, from, static_cast<size_t>(rect.Width) * 4);
        else
            Resampler::Premultiply(from, row, rect.Width);
    }
    source->UnlockBits(&pixels);
}

void LayeredSurface::Present()
{
    if (!skin)
        return;
    WindowDC windowDC(window);
    Push(windowDC.Get(), nullptr);
}

void LayeredSurface::Changed(const RECT& area)
{
    UnionRect(&dirtyRect, &dirtyRect, &area);
}

void LayeredSurface::PresentChanges()
{
    if (IsRectEmpty(&dirtyRect))
        return;
    RECT dirty = dirtyRect;
    WindowDC windowDC(window);
    Push(windowDC.Get(), &dirty);
}

void LayeredSurface::RedrawSkin(const RECT& area)
{
    if (!graphics)
        return;
    SIZE size = Size();
    RECT whole = {0, 0, size.cx, size.cy};
    RECT part;
    if (IntersectRect(&part, &area, &whole))
        CopySkin(part);
    Changed(area);
}

void LayeredSurface::Push(HDC windowDC, const RECT* dirty)
{
    dirtyRect = RECT{};
    // A click handler may have destroyed the window before its button redraws.
    RECT screenRect;
    if (!GetWindowRect(window, &screenRect))
        return;
    POINT destination = {screenRect.left, screenRect.top};
    SIZE size = Size();
    POINT source = {0, 0};
    WindManager* manager = WindManager::Instance();
    if (dirty && presented && manager->HasUpdateLayeredIndirect()) {
        // Only the changed rectangle is copied to the screen; the rest, the place and the size
        // stay as presented.
        UPDATELAYEREDWINDOWINFO info = {};
        info.cbSize = sizeof(info);
        info.hdcDst = windowDC;
        info.hdcSrc = dc.Get();
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = dirty;
        if (manager->UpdateLayeredIndirect(window, &info))
            return;
    }
    if (manager->UpdateLayered(window, windowDC, &destination, &size, dc.Get(), &source, 0, &blend, ULW_ALPHA))
        presented = true;
}
