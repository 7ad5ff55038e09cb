// The icon and name at the left of a title bar.
#pragma once

#include <windows.h>

#include "toolkit/GdiObject.h"
#include "toolkit/IconHandle.h"

// What a title bar says at its left: the launcher's small icon and the window's name, in the
// system's caption font at the window's DPI.
class TitleCaption {
public:
    TitleCaption();

    // Draws into the bar's rectangle, whose right edge is where the bar's buttons begin: the icon
    // and the text vertically centred, the text cut short with an ellipsis before that edge.
    void Draw(HDC dc, HWND window, const RECT& bar, int dpi);

private:
    // The icon and the font for a DPI, made again when it changes.
    void Prepare(int dpi);

    int preparedDpi;
    int iconSize;
    IconHandle icon;
    GdiObject<HFONT> font;
};
