// Lays out the login window, answers its buttons and watches its page for a game server's login.
#include "windows/LoginWind.h"

#include <cwchar>

#include "resources/ResourceIds.h"
#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"
#include "webview/WebViewCallback.h"
#include "windows/DefaultBrowser.h"
#include "windows/OperatorAddresses.h"

namespace {

// The page is created taller than the hole and brought to size at once.
const SIZE pageCreationExtra = {0, 100};
// The skin's hole, where the page or the notice shows.
const RECT noticeArea = {477, 450, 1051, 735};

} // namespace

LoginWind::LoginWind()
    : gameMonitor(nullptr)
    , siteButton(&panel)
    , rechargeButton(&panel)
    , forumButton(&panel)
    , serviceButton(&panel)
    , minimizeButton(&panel)
    , closeButton(&panel)
    , hole{}
{
    PrepareSkin(IMAGE_SKIN);
    struct Layout {
        Button* button;
        int x, y;
        int normal, hover, pressed;
    };
    const Layout layout[] = {
        {&minimizeButton, 1014, 364, IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED},
        {&closeButton, 1045, 364, IMAGE_CLOSE_NORMAL, IMAGE_CLOSE_HOVER, IMAGE_CLOSE_PRESSED},
        {&siteButton, 542, 405, IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED},
        {&rechargeButton, 652, 405, IMAGE_RECHARGE_NORMAL, IMAGE_RECHARGE_HOVER, IMAGE_RECHARGE_PRESSED},
        {&forumButton, 789, 406, IMAGE_FORUM_NORMAL, IMAGE_FORUM_HOVER, IMAGE_FORUM_PRESSED},
        {&serviceButton, 897, 406, IMAGE_SERVICE_NORMAL, IMAGE_SERVICE_HOVER, IMAGE_SERVICE_PRESSED},
    };
    for (const Layout& item : layout) {
        item.button->SetScale(dpi);
        item.button->SetPosition(item.x, item.y);
    }
    for (const Layout& item : layout)
        item.button->SetImages(item.normal, item.hover, item.pressed);
    for (const Layout& item : layout)
        item.button->AddListener(ButtonClick, this, static_cast<ButtonHandler>(&LoginWind::OnButtonClick));
    siteButton.SetName(L"Official site");
    rechargeButton.SetName(L"Recharge");
    forumButton.SetName(L"Forum");
    serviceButton.SetName(L"Customer service");
    minimizeButton.SetName(L"Minimise");
    closeButton.SetName(L"Close");
    SetPageButtons({&siteButton, &rechargeButton, &forumButton, &serviceButton, &minimizeButton, &closeButton});
    notice.SetScale(dpi);
    PlaceOverHole();
}

bool LoginWind::Create()
{
    CreateWithSkin(IMAGE_SKIN, nullptr);
    // A page that failed while the window was being made found no surface to draw on yet.
    if (notice.IsShown())
        ShowNotice();
    return true;
}

int LoginWind::Run()
{
    return ShowAndRunLoop(false);
}

LRESULT LoginWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OfferToButtons(window, message, wParam, lParam))
        return 0;

    switch (message) {
    case WM_CREATE:
        CreatePage(window, OperatorAddresses::loginPage, pageCreationExtra);
        return 0;
    case WM_DESTROY:
        // Closed without a login: the launcher ends, and takes its page along.
        if (gameUrl.empty())
            DestroyPage();
        PostQuitMessage(gameUrl.empty() ? 0 : 1);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        // A press on the skin brings the page forward, if there is one, and drags the window.
        if (PageWindow())
            SetForegroundWindow(PageWindow());
        DragFrom(lParam);
        return 0;
    default:
        return PageWind::HandleMessage(window, message, wParam, lParam);
    }
}

// The page and the notice cover every pixel the skin's hole lets through, at any scale.
void LoginWind::PlaceOverHole()
{
    hole = Dpi::ScaleOutward(noticeArea, dpi);
    notice.SetArea(hole);
}

void LoginWind::OnScaleChanged()
{
    ScaleButtons();
    PlaceOverHole();
    // Placed again when the window moves; a window that stays where it is keeps its page here.
    PlacePage();
    ZoomPage();
    if (notice.IsShown() && surface.Graphics())
        notice.Draw(surface.Graphics());
}

// However the window is activated (a click on the skin, the taskbar, Alt+Tab, a restore), the
// keyboard goes on into the page, where the player types.
void LoginWind::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        return;
    // The first activation comes as the window is shown: the page appears with it.
    HWND page = PageWindow();
    ShowPageWithWindow(page);
    // The window keeps the keyboard while its buttons have it (F6), or when the notice stands in
    // for the page.
    if (page && IsWindowVisible(page) && !panel.HasKeyboard())
        SetForegroundWindow(page);
    else
        SetFocus(windowHandle);
}

void LoginWind::OnButtonClick(int eventId, Button* sender, int)
{
    if (eventId != ButtonClick)
        return;
    if (sender == &minimizeButton)
        Minimise();
    else if (sender == &closeButton)
        // The launcher ends through the end of its launch cycle, its page and apartment closed in
        // order. Not from inside the page's modal UI: the window closes after it.
        Close();
    else if (sender == &siteButton)
        OpenInDefaultBrowser(OperatorAddresses::officialSite);
    else if (sender == &rechargeButton)
        OpenInDefaultBrowser(OperatorAddresses::recharge);
    else if (sender == &forumButton)
        OpenInDefaultBrowser(OperatorAddresses::forum);
    else if (sender == &serviceButton)
        OpenInDefaultBrowser(OperatorAddresses::customerService);
}

bool LoginWind::IsGameLogin(const wchar_t* url)
{
    return url && *url && wcsstr(url, OperatorAddresses::loginPattern);
}

bool LoginWind::OnWebViewEvent(WebViewEvent kind, WebView* view, const wchar_t* url)
{
    if (kind != NavigateComplete)
        return PageWind::OnWebViewEvent(kind, view, url);
    if (!IsGameLogin(url))
        return false;
    gameUrl = url;
    gameMonitor = Monitors::OfWindow(windowHandle);
    // Detected inside the page's modal UI: the window closes with the login once it has ended.
    Close();
    return true;
}

void LoginWind::NoticeChanged()
{
    if (!notice.IsShown()) {
        surface.RedrawSkin(notice.GetArea());
        surface.PresentChanges();
        PlacePage();
        return;
    }
    Gdiplus::Graphics* graphics = surface.Graphics();
    if (!graphics)
        return;
    notice.Draw(graphics);
    surface.Changed(notice.GetArea());
    surface.PresentChanges();
}
