// The skinned login window: its layout, its buttons and the game server's login it waits for.
#pragma once

#include <string>

#include "windows/Button.h"
#include "windows/PageWind.h"

// The operator's login page shows through a hole in the skin; a completed navigation to a game
// server's login address ends its loop with 1.
class LoginWind : public PageWind {
public:
    LoginWind();

    bool Create();
    // 1 when a game server's address was found (it is in gameUrl), 0 otherwise.
    int Run();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnButtonClick(int eventId, Button* sender, int parameter);
    bool OnWebViewEvent(WebViewEvent kind, WebView* webView, const wchar_t* url) override;

    // Whether an address is a login to a game server: it contains the login pattern, case-sensitively.
    static bool IsGameLogin(const wchar_t* url);

    std::wstring gameUrl;
    // The monitor the window was on at the login, where the game opens.
    HMONITOR gameMonitor;

protected:
    void OnActivate(WPARAM wParam);
    void PlaceOverHole();
    void OnScaleChanged() override;
    RECT PagePlace() const override { return hole; }
    void NoticeChanged() override;

    Button siteButton;
    Button rechargeButton;
    Button forumButton;
    Button serviceButton;
    Button minimizeButton;
    Button closeButton;
    // Where the page or the notice lies over the skin's hole (client coordinates).
    RECT hole;
};
