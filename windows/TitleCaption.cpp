// The icon and name at the left of a title bar.
#include "windows/TitleCaption.h"

#include "toolkit/Dpi.h"
#include "toolkit/WindManager.h"

namespace {

// Design distances: the icon from the bar's left edge, the text from the icon and from the buttons.
const int iconLeft = 8;
const int textGap = 6;
// Light on the dark bar, and far from the colour key.
const COLORREF textColour = RGB(0xEE, 0xE6, 0xD8);
const int longestName = 256;

} // namespace

TitleCaption::TitleCaption() : preparedDpi(0), iconSize(0)
{
}

void TitleCaption::Prepare(int dpi)
{
    if (dpi == preparedDpi)
        return;
    preparedDpi = dpi;
    iconSize = Dpi::SmallIconSize(dpi);
    icon.Reset(WindManager::Instance()->LoadAppIcon(iconSize));
    LOGFONTW captionFont = Dpi::CaptionFont(dpi);
    font.Reset(CreateFontIndirectW(&captionFont));
}

void TitleCaption::Draw(HDC dc, HWND window, const RECT& bar, int dpi)
{
    Prepare(dpi);
    int left = bar.left + Dpi::Scale(iconLeft, dpi);
    int gap = Dpi::Scale(textGap, dpi);
    if (icon && left + iconSize <= bar.right)
        DrawIconEx(dc, left, bar.top + (bar.bottom - bar.top - iconSize) / 2, icon.Get(), iconSize, iconSize, 0,
            nullptr, DI_NORMAL);

    wchar_t name[longestName];
    int length = GetWindowTextW(window, name, longestName);
    RECT textRect = {left + iconSize + gap, bar.top, bar.right - gap, bar.bottom};
    if (length <= 0 || textRect.left >= textRect.right || !font)
        return;
    HGDIOBJ previousFont = SelectObject(dc, font.Get());
    int previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF previousColour = SetTextColor(dc, textColour);
    DrawTextW(dc, name, length, &textRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);
}
