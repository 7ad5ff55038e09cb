#include "windows/LoginWind.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "webview/WebViewCallback.h"
#include "windows/DefaultBrowser.h"
#include "windows/OperatorAddresses.h"

namespace {

const WORD skinId = 101;
const UINT_PTR foregroundTimer = 1;
const UINT foregroundPeriod = 33;
// The page is created taller than the hole and brought to size at once, which makes the
// system lay out its frame under the rewritten host style.
const int pageCreationExtraHeight = 100;
// The skin's hole, below its opaque row that the page covers as well.
const RECT noticeArea = {477, 450, 1051, 735};

// Process-wide: a new login window sees the flag as the previous one left it.
bool foregroundHandedBack = false;

} // namespace

LoginWind::LoginWind()
    : gameMonitor(nullptr)
    , webView(nullptr)
    , siteButton(this)
    , rechargeButton(this)
    , forumButton(this)
    , serviceButton(this)
    , minimizeButton(this)
    , closeButton(this)
    , webViewRect{477, 449, 574, 286}
    , notice(this)
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
    for (const Layout& item : layout)
        item.button->SetPosition(item.x, item.y);
    for (const Layout& item : layout)
        item.button->SetImages(item.normal, item.hover, item.pressed);
    for (const Layout& item : layout)
        item.button->AddListener(ButtonClick, this, static_cast<ButtonHandler>(&LoginWind::OnButtonClick));
    notice.SetArea(noticeArea);
    notice.RetryButton().AddListener(ButtonClick, this, static_cast<ButtonHandler>(&LoginWind::OnButtonClick));
}

LoginWind::~LoginWind() = default;

bool LoginWind::Create()
{
    CreateWithSkin(WindManager::Instance()->LoadPngResource(skinId, L"PNG"), nullptr);
    // A page that failed while the window was being made found no surface to draw on yet.
    if (notice.IsShown())
        ShowNotice();
    return true;
}

int LoginWind::Run()
{
    return ShowAndRunLoop(webView, false);
}

HWND LoginWind::PageWindow() const
{
    return notice.IsShown() ? nullptr : WindManager::Instance()->GetWebViewWindow(webView);
}

LRESULT LoginWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OfferToButtons({&minimizeButton, &closeButton, &siteButton, &rechargeButton, &forumButton, &serviceButton},
            window, message, wParam, lParam))
        return 0;
    if (notice.IsShown() && OfferToButtons({&notice.RetryButton()}, window, message, wParam, lParam))
        return 0;

    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        // Closed without a login (Alt+F4, the taskbar): the launcher ends, and takes its page along.
        if (gameUrl.empty()) {
            WindManager::Instance()->DestroyWebView(webView);
            webView = nullptr;
        }
        PostQuitMessage(gameUrl.empty() ? 0 : 1);
        return 0;
    case WM_MOVE:
        PlacePage();
        return 0;
    case WM_KEYDOWN:
        if (!PageNotice::IsRetryKey(message, wParam, lParam))
            return SpecialWind::HandleMessage(window, message, wParam, lParam);
        RetryPage();
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_TIMER:
        if (wParam == foregroundTimer && TimerHandsBack(GetForegroundWindow(), PageWindow(), window,
                foregroundHandedBack))
            SetForegroundWindow(window);
        return 0;
    case WM_LBUTTONDOWN:
        // A press on the skin brings the page forward, if there is one, and drags the window.
        if (PageWindow())
            SetForegroundWindow(PageWindow());
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return 0;
    default:
        return SpecialWind::HandleMessage(window, message, wParam, lParam);
    }
}

// Also while the notice hides it, so that it comes back where it belongs. Repainted: parts of
// the page that were off the screen have no content to bring along.
void LoginWind::PlacePage()
{
    RECT rect;
    if (!GetWindowRect(windowHandle, &rect))
        return;
    MoveWindow(WindManager::Instance()->GetWebViewWindow(webView), rect.left + webViewRect.x, rect.top + webViewRect.y,
        webViewRect.width, webViewRect.height, TRUE);
}

void LoginWind::OnCreate(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int x = rect.left + webViewRect.x;
    int y = rect.top + webViewRect.y;
    WindManager* manager = WindManager::Instance();
    webView = manager->CreateWebView(x, y, webViewRect.width, webViewRect.height + pageCreationExtraHeight, nullptr,
        OperatorAddresses::loginPage, nullptr, nullptr);
    MoveWindow(PageWindow(), x, y, webViewRect.width, webViewRect.height, TRUE);
    manager->SetWebViewCallback(webView, this, &LoginWind::ForwardWebViewEvent);
    SetTimer(window, foregroundTimer, foregroundPeriod, nullptr);
}

// The page's host has no owner, so the login window keeps it in front by hand: activating the
// login window brings the page forward, and the next tick puts the skin back above it once.
void LoginWind::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        return;
    // Shown first: the page appears with the skin, under it, where it will lie.
    HWND page = PageWindow();
    if (page && !IsWindowVisible(page))
        SetWindowPos(page, windowHandle, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (foregroundHandedBack)
        return;
    char line[32] = {};
    snprintf(line, sizeof(line), "%d \n", LOWORD(wParam));
    OutputDebugStringA(line);
    // Without a page (the notice stands in for it) the window keeps the keyboard.
    if (page)
        SetForegroundWindow(page);
}

bool LoginWind::TimerHandsBack(HWND foreground, HWND host, HWND login, bool& handedBack)
{
    if (foreground == host && !handedBack) {
        handedBack = true;
        return true;
    }
    if (foreground != login && foreground != host)
        handedBack = false;
    return false;
}

void LoginWind::OnButtonClick(int eventId, Button* sender, int)
{
    if (eventId != ButtonClick)
        return;
    if (sender == &minimizeButton)
        // The activation moves on to the next window, as the system's minimise does.
        ShowWindow(windowHandle, SW_MINIMIZE);
    else if (sender == &closeButton)
        std::exit(0);
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
        gameMonitor = MonitorFromWindow(windowHandle, MONITOR_DEFAULTTONEAREST);
        WindManager::Instance()->DestroyWebView(webView);
        webView = nullptr;
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
        if (notice.OnFailure(url))
            ShowNotice();
        return false;
    case DocumentComplete:
        if (notice.OnDocumentComplete(WindManager::Instance()->IsWebViewNavigating(webView)))
            ShowPage();
        return false;
    default:
        return false;
    }
}

bool LoginWind::ShowsPage() const
{
    return !notice.IsShown();
}

void LoginWind::ShowNotice()
{
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
    RedrawSkin(notice.GetArea());
    PresentChanges();
    PlacePage();
    // Under the skin, as when the window was shown; before that, showing the window shows it.
    HWND page = PageWindow();
    if (page && IsWindowVisible(windowHandle))
        SetWindowPos(page, windowHandle, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void LoginWind::RetryPage()
{
    const wchar_t* address = notice.Retry();
    if (address)
        WindManager::Instance()->NavigateWebView(webView, address);
}
