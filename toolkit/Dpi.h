// The display scale, in one place.
#pragma once

#include <windows.h>

#include "toolkit/WindManager.h"

typedef UINT(WINAPI* GetDpiForWindowProc)(HWND);
typedef HRESULT(WINAPI* GetDpiForMonitorProc)(HMONITOR, int, UINT*, UINT*);
typedef int(WINAPI* GetDeviceCapsProc)(HDC, int);
typedef BOOL(WINAPI* SystemParametersInfoForDpiProc)(UINT, UINT, PVOID, UINT, UINT);
typedef int(WINAPI* GetSystemMetricsForDpiProc)(int, UINT);

// The display scale, in one place: which DPI a window or monitor has, the one rule by which the
// windows' 96-DPI design values become pixels, and which art is drawn at a DPI.
class Dpi {
public:
    // The DPI at which every design value is its own pixel count.
    static const int design = 96;

    // The DPI of a window: GetDpiForWindow, else that of its monitor.
    static int OfWindow(HWND window);
    // The DPI of a monitor (the primary one when null): GetDpiForMonitor, else the screen's
    // LOGPIXELSX, else 96. The newer entry points are looked up by name, so that the program
    // still starts on a system without them.
    static int OfMonitor(HMONITOR monitor);

    // Tests stub the look-ups through these; a null entry point is a system without it.
    struct EntryPoints {
        GetDpiForWindowProc forWindow;
        GetDpiForMonitorProc forMonitor;
        GetDeviceCapsProc deviceCaps;
    };
    static EntryPoints GetEntryPoints();
    static void SetEntryPoints(const EntryPoints& entryPoints);

    // An edge (a coordinate, not a size) at a DPI, rounded to the nearest pixel, halves up.
    // Sizes are differences of scaled edges, so that neighbours meet at every scale.
    static int Scale(int edge, int dpi);
    static RECT Scale(const RECT& rect, int dpi);
    // A rectangle grown to every pixel that the scaled one touches.
    static RECT ScaleOutward(const RECT& rect, int dpi);
    // The page zoom, in percent, that lays a page out at a DPI.
    static int Zoom(int dpi) { return dpi * 100 / design; }

    // The system's caption font and small-icon size at a DPI: asked for that DPI where the system
    // can answer (Windows 10 1607 on), else its own values scaled from the system's DPI.
    static LOGFONTW CaptionFont(int dpi);
    static int SmallIconSize(int dpi);

    // The art of a PNG resource for a DPI, and its 96-DPI size: at 96 DPI the image itself; at a
    // common scale the art resampled ahead for it (type "PNG125", "PNG150") where there is some;
    // elsewhere its twin drawn at twice the size (id + 1000), or the image itself. Art stored
    // cropped to its pixels that are not wholly transparent comes on its whole canvas.
    static ImagePtr LoadArt(WORD id, int dpi, SIZE& designSize);
    // An image at exactly a size: itself when it is that size, else resampled once into a
    // premultiplied bitmap (Resampler); null when it cannot be.
    static ImagePtr Resample(ImagePtr image, SIZE size);
    // A bitmap as a premultiplied one, which is copied as it is onto a surface: itself where it
    // is one already, or is no bitmap; null when it cannot be made.
    static ImagePtr Premultiplied(ImagePtr image);
    // The art of a resource resampled to its design size at a DPI, as a window's skin is.
    static ImagePtr LoadScaledArt(WORD id, int dpi, SIZE& designSize);
};
