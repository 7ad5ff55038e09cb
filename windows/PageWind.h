#pragma once

#include "windows/PageNotice.h"
#include "windows/SpecialWind.h"

// A skinned window with a web page in it, and the notice that stands in for the page while it
// cannot be loaded.
class PageWind : public SpecialWind {
public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    PageWind();
    // The window and the page are gone by then.
    ~PageWind() override;

    bool ShowsPage() const override;
    // The page's host, or null while the notice stands in for the page.
    HWND PageWindow() const override;
    // A failure of the page shows the notice; the completion of the navigation that retried it
    // shows the page again.
    void OnPageEvent(WebViewEvent kind, const wchar_t* url);
    virtual void ShowNotice() = 0;
    virtual void ShowPage() = 0;
    // Navigates again to the address that failed, once per press of Retry, Enter or F5.
    void RetryPage();
    void DestroyPage();
    // While the page's control shows its modal UI (a page's alert, its own dialogs), nothing may
    // close it: a close of the window (WM_CLOSE, a Close button, a detected login) is put off, and
    // true is answered. It is carried out once, as a WM_CLOSE from the message loop, when the UI has
    // ended and the window is enabled again.
    bool DeferWhileModal();
    // The buttons shown and the notice at the window's DPI.
    void ScaleButtons();

    WebView* webView;
    PageNotice notice;

private:
    bool closeDeferred;
};
