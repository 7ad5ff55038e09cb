#pragma once

#include <string>

#include "windows/Button.h"
#include "windows/PageNotice.h"
#include "windows/SpecialWind.h"

// The skinned login window. The operator's login page shows through a hole in the skin; a
// completed navigation to a game server's login address ends its loop with 1.
class LoginWind : public SpecialWind {
public:
    LoginWind();
    // Releases the buttons and the address; the window and the page are gone by then.
    ~LoginWind() override;

    bool Create();
    // 1 when a game server's address was found (it is in gameUrl), 0 otherwise.
    int Run();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnButtonClick(int eventId, Button* sender, int parameter);
    virtual bool OnWebViewEvent(WebViewEvent kind, WebView* webView, const wchar_t* url);

    // Whether an address is a login to a game server: it contains the login pattern, case-sensitively.
    static bool IsGameLogin(const wchar_t* url);

    std::wstring gameUrl;
    // The monitor the window was on at the login, where the game opens.
    HMONITOR gameMonitor;

protected:
    static bool ForwardWebViewEvent(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url,
        long status);
    void OnCreate(HWND window);
    void OnActivate(WPARAM wParam);
    // The page's host, or null while the notice stands in for the page.
    HWND PageWindow() const override;
    void PlacePage();
    void PlaceOverHole();
    void OnScaleChanged() override;
    bool ShowsPage() const override;
    void ShowNotice();
    void ShowPage();
    void RetryPage();

    WebView* webView;
    Button siteButton;
    Button rechargeButton;
    Button forumButton;
    Button serviceButton;
    Button minimizeButton;
    Button closeButton;
    // Where the page lies over the skin's hole, relative to the window's top-left corner.
    struct {
        int x, y, width, height;
    } webViewRect;
    // Drawn on the skin inside the hole when the page cannot be loaded.
    PageNotice notice;
};
