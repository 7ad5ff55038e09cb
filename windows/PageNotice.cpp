// Lays out and draws the notice, and remembers the address that failed for its Retry.
#include "windows/PageNotice.h"

#include "resources/ResourceIds.h"
#include "toolkit/Dpi.h"
#include "toolkit/Keys.h"

namespace {

const wchar_t headline[] = L"The page could not be loaded.";
const wchar_t advice[] = L"Check your connection, then retry.";

// The Retry images are drawn on this colour (tools/make_art.py), as is the text.
const Gdiplus::ARGB background = 0xFF1C162E;
const Gdiplus::ARGB headlineColour = 0xFFF2E2BA;
const Gdiplus::ARGB adviceColour = 0xFFC4B8A0;
const LONG headlineHeight = 20;
const LONG adviceHeight = 15;

// From the top of the text block: the headline's line, the advice's, then the button.
const int headlineLine = 28;
const int adviceTop = 30;
const int adviceLine = 22;
const int buttonTop = 72;

// The system's message font at a height (character pixels) and weight of the notice's. Made
// through GDI, which maps the names of logical faces such as MS Shell Dlg to a real one.
LOGFONTW MessageFont(LONG height, LONG weight)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW font = {};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    font.lfHeight = -height;
    font.lfWidth = 0;
    font.lfWeight = weight;
    return font;
}

void DrawLine(Gdiplus::Graphics* graphics, const wchar_t* text, const Gdiplus::Font& font, Gdiplus::ARGB colour,
    const Gdiplus::RectF& line)
{
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    graphics->DrawString(text, -1, &font, line, &format, &brush);
}

} // namespace

PageNotice::PageNotice(ButtonHost* host)
    : retryButton(host)
    , area{}
    , shown(false)
    , retrying(false)
    , dpi(Dpi::design)
{
    retryButton.SetImages(IMAGE_RETRY_NORMAL, IMAGE_RETRY_HOVER, IMAGE_RETRY_PRESSED);
    retryButton.SetName(L"Retry");
}

void PageNotice::SetArea(const RECT& newArea)
{
    area = newArea;
    RECT button = retryButton.GetRect();
    int buttonWidth = button.right - button.left;
    int blockHeight = Dpi::Scale(buttonTop, dpi) + button.bottom - button.top;
    int left = area.left + (area.right - area.left - buttonWidth) / 2;
    int top = area.top + (area.bottom - area.top - blockHeight) / 2;
    retryButton.SetPosition(0, 0, POINT{left, top + Dpi::Scale(buttonTop, dpi)});
}

void PageNotice::SetScale(int newDpi)
{
    dpi = newDpi;
    retryButton.SetScale(dpi);
}

bool PageNotice::OnFailure(const wchar_t* url)
{
    failedUrl = url ? url : L"";
    retrying = false;
    bool appears = !shown;
    shown = true;
    // The pointer may have rested on the button when the page came back over it last time.
    if (appears)
        retryButton.Reset();
    return appears;
}

bool PageNotice::OnDocumentComplete(bool navigating)
{
    if (!shown || !retrying || navigating)
        return false;
    shown = false;
    retrying = false;
    return true;
}

const wchar_t* PageNotice::Retry()
{
    if (!shown)
        return nullptr;
    retrying = true;
    return failedUrl.c_str();
}

void PageNotice::Draw(Gdiplus::Graphics* graphics)
{
    Gdiplus::SolidBrush fill{Gdiplus::Color(background)};
    graphics->FillRectangle(&fill, static_cast<INT>(area.left), static_cast<INT>(area.top),
        static_cast<INT>(area.right - area.left), static_cast<INT>(area.bottom - area.top));

    // Grey-scale smoothing: sub-pixel colours would fringe the letters on a layered surface.
    Gdiplus::GraphicsState state = graphics->Save();
    graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    LOGFONTW headlineFace = MessageFont(Dpi::Scale(headlineHeight, dpi), FW_BOLD);
    LOGFONTW adviceFace = MessageFont(Dpi::Scale(adviceHeight, dpi), FW_NORMAL);
    HDC dc = graphics->GetHDC();
    Gdiplus::Font headlineFont(dc, &headlineFace);
    Gdiplus::Font adviceFont(dc, &adviceFace);
    graphics->ReleaseHDC(dc);
    RECT button = retryButton.GetRect();
    auto left = static_cast<Gdiplus::REAL>(area.left);
    auto width = static_cast<Gdiplus::REAL>(area.right - area.left);
    auto top = static_cast<Gdiplus::REAL>(button.top - Dpi::Scale(buttonTop, dpi));
    auto scaled = [this](int value) { return static_cast<Gdiplus::REAL>(Dpi::Scale(value, dpi)); };
    DrawLine(graphics, headline, headlineFont, headlineColour,
        Gdiplus::RectF(left, top, width, scaled(headlineLine)));
    DrawLine(graphics, advice, adviceFont, adviceColour,
        Gdiplus::RectF(left, top + scaled(adviceTop), width, scaled(adviceLine)));
    graphics->Restore(state);

    retryButton.Draw(graphics);
}

bool PageNotice::IsRetryKey(UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_F5) && IsFirstPress(lParam);
}

void PageNotice::HidePage(HWND page, HWND window)
{
    if (!page)
        return;
    HWND focus = GetFocus();
    bool hadKeyboard = GetForegroundWindow() == page || (focus && (focus == page || IsChild(page, focus)));
    ShowWindow(page, SW_HIDE);
    if (hadKeyboard) {
        SetForegroundWindow(window);
        SetFocus(window);
    }
}
