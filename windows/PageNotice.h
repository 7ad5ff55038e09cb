// The notice a window shows in place of a page that could not be loaded, with its Retry button.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "windows/Button.h"

// A line that says the page could not be loaded, a line that says what to do, and a Retry button.
// A retry navigates again to the address that failed; the notice stays until that navigation has
// completed, and a new failure keeps it. The window hides its page while the notice is shown,
// draws the notice and offers the button its messages.
class PageNotice {
public:
    explicit PageNotice(ButtonHost* host);

    // The notice's place in the window (client coordinates); the button is centred below the text.
    void SetArea(const RECT& newArea);
    // The DPI its text and button are drawn at; the area is set again after.
    void SetScale(int newDpi);
    RECT GetArea() const { return area; }
    bool IsShown() const { return shown; }
    Button& RetryButton() { return retryButton; }

    // The page failed to load from the address: true when the notice appears now.
    bool OnFailure(const wchar_t* url);
    // A document completed; navigating tells whether the page's own navigation is still under way.
    // True when it was the retry's, whose page takes the notice's place again. A late one of the
    // navigation that failed leaves the notice.
    bool OnDocumentComplete(bool navigating);
    // The address to navigate to again, once per call, or null when no notice is shown.
    const wchar_t* Retry();

    void Draw(Gdiplus::Graphics* graphics);

    // Enter and F5 retry; a held key repeats its press, which counts once.
    static bool IsRetryKey(UINT message, WPARAM wParam, LPARAM lParam);
    // Hides the page's host. A page that had the keyboard hands it to the window, whose keys retry.
    static void HidePage(HWND page, HWND window);

private:
    PageNotice(const PageNotice&) = delete;
    PageNotice& operator=(const PageNotice&) = delete;

    Button retryButton;
    RECT area;
    std::wstring failedUrl;
    bool shown;
    bool retrying;
    int dpi;
};
