// Resamples premultiplied 32-bit pixels to another size, and premultiplies straight ones.
#pragma once

#include <windows.h>

// Rows of premultiplied 32-bit pixels (B, G, R, A bytes), top-down, stride in bytes.
struct PixelRows {
    BYTE* bits;
    int width;
    int height;
    int stride;
};

// A separable two-lobed Lanczos filter over the source pixels (widened only for reductions below
// half), one pass per axis in fixed point; the borders are mirrored. Each colour stays within
// its alpha; a pixel whose neighbours within reach are opaque comes out opaque, and in a reduction
// to no less than half so does every pixel outside the scaled rectangle (rounded outward) of a
// transparent area of opaque art. Transparent pixels around the art cost nothing, and a large
// image is resampled half on a second thread.
class Resampler {
public:
    // Fills every pixel of `to` from all of `from`; false when either is empty.
    static bool Resample(const PixelRows& from, const PixelRows& to);
    // Copies pixels of straight alpha as premultiplied ones, each colour times its alpha / 255
    // rounded to the nearest, as GDI+ converts them.
    static void Premultiply(const BYTE* from, BYTE* to, int count);
};
