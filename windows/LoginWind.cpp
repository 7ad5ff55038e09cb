#include "windows/LoginWind.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "toolkit/Dpi.h"
#include "toolkit/Monitors.h"
#include "webview/WebViewCallback.h"
#include "windows/DefaultBrowser.h"
#include "windows/OperatorAddresses.h"

namespace {

const WORD skinId = 101;
// The page is created taller than the hole and brought to size at once, which makes the
// system lay out its frame under the rewritten host style.
const int pageCreationExtraHeight = 100;
// The skin's hole, where the page or the notice shows.
const RECT noticeArea = {477, 450, 1051, 735};

} // namespace

LoginWind::LoginWind()
    : gameMonitor(nullptr)
    , siteButton(this)
    , rechargeButton(this)
    , forumButton(this)
    , serviceButton(this)
    , minimizeButton(this)
    , closeButton(this)
    , webViewRect{}
{
    struct Layout {
        Button* button;
        int x, y;
        int normal, hover, pressed;
    };
    const Layout layout[] = {
        {&minimizeButton, 1014, 364, 102, 103, 104},
        {&closeButton, 1045, 364, 105, 106, 107},
        {&siteButton, 542, 405, 117, 118, 119},
        {&rechargeButton, 652, 405, 111, 112, 113},
        {&forumButton, 789, 406, 108, 109, 110},
        {&serviceButton, 897, 406, 114, 115, 116},
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
    SetButtons({&siteButton, &rechargeButton, &forumButton, &serviceButton, &minimizeButton, &closeButton});
    notice.SetScale(dpi);
    PlaceOverHole();
    notice.RetryButton().AddListener(ButtonClick, this, static_cast<ButtonHandler>(&LoginWind::OnButtonClick));
}

LoginWind::~LoginWind() = default;

bool LoginWind::Create()
{
    CreateWithSkin(skinId, nullptr);
    // A page that failed while the window was being made found no surface to draw on yet.
    if (notice.IsShown())
        ShowNotice();
    return true;
}

int LoginWind::Run()
{
    return ShowAndRunLoop(webView, false);
}

LRESULT LoginWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OfferToButtons(window, message, wParam, lParam))
        return 0;

    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        // Closed without a login: the launcher ends, and takes its page along.
        if (gameUrl.empty())
            DestroyPage();
        PostQuitMessage(gameUrl.empty() ? 0 : 1);
        return 0;
    case WM_MOVE:
        if (!IsIconic(window))
            PlacePage();
        return 0;
    case WM_SIZE:
        PageFollowsMinimise(WindManager::Instance()->GetWebViewWindow(webView), wParam);
        return PageWind::HandleMessage(window, message, wParam, lParam);
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        // A press on the skin brings the page forward, if there is one, and drags the window.
        if (PageWindow())
            SetForegroundWindow(PageWindow());
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return 0;
    default:
        return PageWind::HandleMessage(window, message, wParam, lParam);
    }
}

// Also while the notice hides it, so that it comes back where it belongs. The page's host is
// owned by this window, so its place is relative to this window. Repainted: parts of the page
// that were off the screen have no content to bring along.
void LoginWind::PlacePage()
{
    WindManager::Instance()->MoveWebView(webView, webViewRect.x, webViewRect.y, webViewRect.width,
        webViewRect.height, true);
}

// The page and the notice cover every pixel the skin's hole lets through, at any scale.
void LoginWind::PlaceOverHole()
{
    RECT hole = Dpi::ScaleOutward(noticeArea, dpi);
    webViewRect = {hole.left, hole.top, hole.right - hole.left, hole.bottom - hole.top};
    notice.SetArea(hole);
}

void LoginWind::OnScaleChanged()
{
    ScaleButtons();
    PlaceOverHole();
    // Placed again when the window moves; a window that stays where it is keeps its page here.
    PlacePage();
    WindManager::Instance()->SetWebViewZoom(webView, Dpi::Zoom(dpi));
    if (notice.IsShown() && GetSurfaceGraphics())
        notice.Draw(GetSurfaceGraphics());
}

void LoginWind::OnCreate(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int x = rect.left + webViewRect.x;
    int y = rect.top + webViewRect.y;
    WindManager* manager = WindManager::Instance();
    // Owned: the system keeps the page above the skin, exactly in its hole, and minimises, hides
    // and restores it with the window; it has no taskbar button of its own.
    webView = manager->CreateWebView(x, y, webViewRect.width,
        webViewRect.height + Dpi::Scale(pageCreationExtraHeight, dpi), window, OperatorAddresses::loginPage, nullptr,
        nullptr);
    manager->SetWebViewZoom(webView, Dpi::Zoom(dpi));
    PlacePage();
    manager->SetWebViewCallback(webView, this, &LoginWind::ForwardWebViewEvent);
}

// However the window is activated (a click on the skin, the taskbar, Alt+Tab, a restore), the
// keyboard goes on into the page, where the player types.
void LoginWind::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        return;
    char line[32] = {};
    snprintf(line, sizeof(line), "%d \n", LOWORD(wParam));
    OutputDebugStringA(line);
    // The first activation comes as the window is shown: the page appears with it.
    HWND page = PageWindow();
    ShowPageWithWindow(page);
    // The window keeps the keyboard while its buttons have it (F6), or when the notice stands in
    // for the page.
    if (page && IsWindowVisible(page) && !ButtonsHaveKeyboard())
        SetForegroundWindow(page);
    else
        SetFocus(windowHandle);
}

void LoginWind::OnButtonClick(int eventId, Button* sender, int)
{
    if (eventId != ButtonClick)
        return;
    if (sender == &minimizeButton)
        // The activation moves on to the next window, as the system's minimise does.
        ShowWindow(windowHandle, SW_MINIMIZE);
    else if (sender == &closeButton) {
        // Not from inside the page's modal UI: the window closes, and the launcher ends, after it.
        if (!DeferWhileModal())
            std::exit(0);
    }
    else if (sender == &siteButton)
        OpenInDefaultBrowser(OperatorAddresses::officialSite);
    else if (sender == &rechargeButton)
        OpenInDefaultBrowser(OperatorAddresses::recharge);
    else if (sender == &forumButton)
        OpenInDefaultBrowser(OperatorAddresses::forum);
    else if (sender == &serviceButton)
        OpenInDefaultBrowser(OperatorAddresses::customerService);
    else if (sender == &notice.RetryButton())
        RetryPage();
}

bool LoginWind::IsGameLogin(const wchar_t* url)
{
    return url && *url && wcsstr(url, OperatorAddresses::loginPattern);
}

bool LoginWind::ForwardWebViewEvent(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url,
    long)
{
    return static_cast<LoginWind*>(owner)->OnWebViewEvent(kind, webView, url);
}

bool LoginWind::OnWebViewEvent(WebViewEvent kind, WebView*, const wchar_t* url)
{
    switch (kind) {
    case NavigateComplete: {
        if (!IsGameLogin(url))
            return false;
        gameUrl = url;
        gameMonitor = Monitors::OfWindow(windowHandle);
        // Detected inside the page's modal UI: the window closes with the login once it has ended.
        if (DeferWhileModal())
            return true;
        DestroyPage();
        HWND window = windowHandle;
        windowHandle = nullptr;
        DestroyWindow(window);
        return true;
    }
    case NewWindow:
        // Whatever the page asked for, the embedded browser opens no window of its own.
        OpenInDefaultBrowser(url);
        return true;
    case NavigateError:
    case DocumentComplete:
        OnPageEvent(kind, url);
        return false;
    default:
        return false;
    }
}

void LoginWind::ShowNotice()
{
    SetButtons({&siteButton, &rechargeButton, &forumButton, &serviceButton, &minimizeButton, &closeButton,
        &notice.RetryButton()});
    PageNotice::HidePage(WindManager::Instance()->GetWebViewWindow(webView), windowHandle);
    Gdiplus::Graphics* surface = GetSurfaceGraphics();
    if (!surface)
        return;
    notice.Draw(surface);
    SurfaceChanged(notice.GetArea());
    PresentChanges();
}

void LoginWind::ShowPage()
{
    SetButtons({&siteButton, &rechargeButton, &forumButton, &serviceButton, &minimizeButton, &closeButton});
    RedrawSkin(notice.GetArea());
    PresentChanges();
    PlacePage();
    // Before the window is shown, showing the window shows its page; while it is minimised,
    // restoring it does.
    ShowPageWithWindow(PageWindow());
}
