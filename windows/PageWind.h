// A launcher window with a web page in it: what the login and the game window do alike with their page.
#pragma once

#include <vector>

#include "webview/PageKeys.h"
#include "windows/PageNotice.h"
#include "windows/SpecialWind.h"

// The page is created with the window, placed in it, shown with it and follows its minimise; the
// notice stands in for the page while it cannot be loaded, and the window closes page first.
class PageWind : public SpecialWind {
public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The browser's events for the window: a window the page asks for opens in the default
    // browser instead; failures and completions go to the notice.
    static bool ForwardWebViewEvent(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url,
        long status);
    virtual bool OnWebViewEvent(WebViewEvent kind, WebView* webView, const wchar_t* url);

protected:
    PageWind();

    // The page's place in the window (client coordinates), at the window's DPI.
    virtual RECT PagePlace() const = 0;
    // The notice has appeared or given way to the page: the window draws what changed.
    virtual void NoticeChanged() = 0;

    // On WM_CREATE: the page, at its place and scale, taller and wider by the extra design units
    // at first, which makes the system lay out its frame under the rewritten host style.
    void CreatePage(HWND window, const wchar_t* url, SIZE extra);
    // Also while the notice hides it, so that it comes back where it belongs.
    void PlacePage();
    // The page's zoom at the window's DPI.
    void ZoomPage();
    // The window's own buttons; the notice's Retry follows them while the notice shows.
    void SetPageButtons(std::initializer_list<Button*> shown);
    // Hides the page, and draws the notice in its place, with Retry among the buttons.
    void ShowNotice();
    // The buttons shown and the notice at the window's DPI.
    void ScaleButtons();

    // Shows the window in the start state the player chose, then its page unless the notice
    // stands in for it.
    void ShowWithPage();
    // Shows the page of a shown window; a minimised one shows it when restored.
    void ShowPageWithWindow(HWND page);
    // Shows the window and its page and runs the thread's message loop until WM_QUIT, whose code it
    // returns. Key messages of the page's windows go where PageKeys routes them; F5 and Ctrl+F5
    // there refresh the page when asked for.
    int ShowAndRunLoop(bool refreshOnF5);
    // The page's host, or null while the notice stands in for the page.
    HWND PageWindow() const;
    void KeyboardToPage() override;

    void Minimise();
    // Closes the page, then the window, unless the page's modal UI puts it off.
    void Close();
    void DestroyPage();
    // While the page's control shows its modal UI (a page's alert, its own dialogs), nothing may
    // close it: a close of the window (WM_CLOSE, a Close button, a detected login) is put off, and
    // true is answered. It is carried out once, as a WM_CLOSE from the message loop, when the UI has
    // ended and the window is enabled again.
    bool DeferWhileModal();

    WebView* webView;
    PageNotice notice;

private:
    void OnPageEvent(WebViewEvent kind, const wchar_t* url);
    void RouteKeyOfPage(PageKeyAction action, MSG& message, bool refreshOnF5);
    void ShowButtons();
    // Navigates again to the address that failed, once per press of Retry, Enter or F5.
    void RetryPage();
    void OnRetryClick(int eventId, Button* sender, int parameter);
    // On WM_SIZE: a minimised window hides its page (which the system does not do for it
    // everywhere) and shows it again when restored, unless the notice stands in for it.
    void PageFollowsMinimise(WPARAM sizeKind);
    static int StartShowState();

    std::vector<Button*> pageButtons;
    bool closeDeferred;
    // The page was hidden with the minimised window and comes back with it.
    bool pageHiddenWithWindow;
};
