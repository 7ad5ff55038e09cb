// The game window: its title bar, its buttons and its place on its monitor.
#pragma once

#include <string>

#include "windows/Button.h"
#include "windows/FullScreen.h"
#include "windows/PageWind.h"
#include "windows/TitleCaption.h"

// The game window: a title bar of its own with three buttons, and below it the game page, seen
// through the colour-keyed page area. It covers the work area of its monitor, or in full screen
// (F11) the whole monitor with the page alone.
class GameWind : public PageWind {
public:
    // Opens on the given monitor (the primary one when null or gone).
    GameWind(const wchar_t* url, HMONITOR monitor);

    bool Create();
    // Returns once the window has been destroyed.
    int Run();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnButtonClick(int eventId, Button* sender, int parameter);

protected:
    std::wstring url;
    int pageLeft;
    int pageTop;
    int pageWidth;
    int pageHeight;
    Button minimizeButton;
    Button maximizeButton;
    Button closeButton;

    void OnScaleChanged() override;
    RECT PagePlace() const override;
    void NoticeChanged() override;

private:
    void OnPaint(HWND window);
    void PlaceButtons();
    void PlaceOnWorkArea();
    bool CoversWorkArea() const;
    // The title bar's height and its buttons at the window's DPI.
    void ScaleTitleBar();
    // Whether a press on the title bar completes a double-click with the press before it.
    bool IsDoubleClick(LPARAM lParam);
    void ToggleFullScreen();
    void SetTitleBarButtons();

    HMONITOR monitor;
    DWORD lastPressTime;
    POINT lastPressPoint;
    TitleCaption caption;
    FullScreen fullScreen;
};
