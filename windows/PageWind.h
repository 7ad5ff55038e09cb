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
    // The buttons shown and the notice at the window's DPI.
    void ScaleButtons();

    WebView* webView;
    PageNotice notice;
};
