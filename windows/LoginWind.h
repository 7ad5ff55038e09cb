#pragma once

#include <string>

#include "windows/Button.h"
#include "windows/PageWind.h"

// The skinned login window. The operator's login page shows through a hole in the skin; a
// completed navigation to a game server's login address ends its loop with 1.
class LoginWind : public PageWind {
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
    void PlacePage();
    void PlaceOverHole();
    void OnScaleChanged() override;
    void ShowNotice() override;
    void ShowPage() override;

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
};
