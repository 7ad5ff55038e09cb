#pragma once

#include "TestSupport.h"
#include "windows/GameWind.h"

// A game window whose state the tests can see, and which takes its window away with it.
class ProbeGame : public GameWind {
public:
    explicit ProbeGame(const wchar_t* url = L"http://s1.kolv.ops.test/login.php", HMONITOR monitor = nullptr)
        : GameWind(url, monitor)
    {
    }
    ~ProbeGame() override
    {
        if (windowHandle)
            DestroyWindow(windowHandle);
        PumpMessages();
    }
    HWND Page() const { return WindManager::Instance()->GetWebViewWindow(webView); }
    int TitleBar() const { return pageTop; }
    // The window and its page on the screen.
    RECT Rect() const { return OnScreen(windowHandle); }
    RECT PageRect() const { return OnScreen(Page()); }
    const std::wstring& Url() const { return url; }
    RECT PageArea() const { return RECT{pageLeft, pageTop, pageWidth, pageHeight}; }
    RECT WindowRect() const { return windowRect; }
    RECT ButtonRect(int index) const
    {
        const Button* buttons[] = {&minimizeButton, &maximizeButton, &closeButton};
        return buttons[index]->GetRect();
    }
    void Click(int index)
    {
        RECT rect = ButtonRect(index);
        Click(rect);
    }
    void ClickRetry() { Click(notice.RetryButton().GetRect()); }
    void Click(const RECT& rect)
    {
        LPARAM point = MAKELPARAM(rect.left + 5, rect.top + 5);
        HandleMessage(windowHandle, WM_LBUTTONDOWN, MK_LBUTTON, point);
        HandleMessage(windowHandle, WM_LBUTTONUP, 0, point);
    }
    WebView* View() const { return webView; }
    // As Run shows it, without running the loop.
    void Show() { ShowWithPage(); }
    RECT NoticeArea() const { return notice.GetArea(); }

private:
    static RECT OnScreen(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }
};
