// The off-screen surface of a per-pixel-alpha window: its skin, what is drawn over it, and its presents.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "toolkit/GdiObject.h"
#include "toolkit/MemoryDC.h"
#include "toolkit/WindManager.h"

class LayeredSurface {
public:
    LayeredSurface();
    LayeredSurface(const LayeredSurface&) = delete;
    LayeredSurface& operator=(const LayeredSurface&) = delete;

    // A surface of the skin's size for the window, with the skin drawn on it, presented once.
    bool Create(HWND window, ImagePtr newSkin);
    // The skin is drawn from a PNG resource of this design size at each DPI.
    void SetSkinResource(WORD id, SIZE designSize);
    // The skin and the surface drawn afresh at a DPI; false when there is no resource or it fails.
    bool Rescale(int dpi);
    // The skin's size at a DPI, from its design size; false for a skin given as an image.
    bool ScaledSize(int dpi, SIZE& size) const;

    bool HasSkin() const { return skin != nullptr; }
    SIZE Size() const;
    // Null without a working surface: a colour-keyed window, or before the skin is drawn.
    Gdiplus::Graphics* Graphics() const { return graphics.get(); }
    HDC DC() const { return dc.Get(); }
    HBITMAP Bitmap() const { return bitmap.Get(); }

    // Pushes the whole surface to the screen.
    void Present();
    // Marks part of the surface as drawn on since the last present (window client coordinates).
    void Changed(const RECT& area);
    // Pushes what was drawn since the last present, if anything, and only that where the system
    // can update part of a layered window.
    void PresentChanges();
    // Draws the skin afresh over part of the surface, as it was before anything was drawn on it.
    void RedrawSkin(const RECT& area);
    // A layered window does not keep what it showed while hidden for a partial update.
    void Hidden() { presented = false; }

private:
    void Build();
    // The skin's pixels over part of the surface, replacing whatever was drawn there.
    void CopySkin(const RECT& area);
    void Push(HDC windowDC, const RECT* dirty);

    HWND window;
    BLENDFUNCTION blend;
    // Declared so that they are released graphics first, skin last.
    ImagePtr skin;
    WORD skinResource;
    SIZE skinDesignSize;
    GdiObject<HBITMAP> bitmap;
    MemoryDC dc;
    std::unique_ptr<Gdiplus::Graphics> graphics;
    // Drawn on since the last present; empty when nothing was.
    RECT dirtyRect;
    // Until one whole present has reached the screen, a part of the surface is not enough.
    bool presented;
};
