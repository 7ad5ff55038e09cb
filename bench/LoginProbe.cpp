#include "bench/LoginProbe.h"

#include "bench/QpcClock.h"

LoginProbe::~LoginProbe()
{
    if (IsWindow(windowHandle))
        DestroyWindow(windowHandle);
    // The quit message the window posts on its way out, and the page's late messages, go here.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageW(&message);
    }
}

std::vector<RECT> LoginProbe::ButtonRects() const
{
    std::vector<RECT> rects;
    for (const Button* button :
        {&minimizeButton, &closeButton, &siteButton, &rechargeButton, &forumButton, &serviceButton})
        rects.push_back(button->GetRect());
    return rects;
}

void LoginProbe::Show()
{
    ShowWithPage();
}

void LoginProbe::PaintPage()
{
    RedrawWindow(PageWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

LRESULT LoginProbe::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CREATE)
        return LoginWind::HandleMessage(window, message, wParam, lParam);
    createMessageStart = QpcClock::Now();
    LRESULT result = LoginWind::HandleMessage(window, message, wParam, lParam);
    createMessageEnd = QpcClock::Now();
    return result;
}
