// Creates, places, shows and closes a window's page, and stands the notice in for it.
#include "windows/PageWind.h"

#include "toolkit/Dpi.h"
#include "webview/WebViewCallback.h"
#include "windows/Button.h"
#include "windows/DefaultBrowser.h"
#include "windows/PrivateMessages.h"

PageWind::PageWind() : webView(nullptr), notice(&panel), closeDeferred(false), pageHiddenWithWindow(false)
{
    notice.RetryButton().AddListener(ButtonClick, this, static_cast<ButtonHandler>(&PageWind::OnRetryClick));
}

LRESULT PageWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (DeferWhileModal())
            return 0;
        // Closed by the system (Alt+F4, the taskbar): the page goes first. Left to the window's
        // destruction, its owned host would go before its page.
        DestroyPage();
        break;
    case WM_ENABLE:
        // Sent inside the control's own EnableModeless(TRUE): the close is posted, so that it runs
        // once the control's call has returned.
        if (wParam && closeDeferred && !WindManager::Instance()->IsWebViewInModalUi(webView)) {
            closeDeferred = false;
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        break;
    case WM_KEYDOWN:
        if (PageNotice::IsRetryKey(message, wParam, lParam)) {
            RetryPage();
            return 0;
        }
        break;
    case WM_MOVE:
        if (!IsIconic(window))
            PlacePage();
        return 0;
    case WM_SIZE:
        PageFollowsMinimise(wParam);
        break;
    case PrivateMessages::pageRestored:
        // The system may activate a window restored from the taskbar or Alt+Tab before it is
        // restored, while its page is hidden: the window in front now puts the keyboard in its page.
        if (GetForegroundWindow() == window && !panel.HasKeyboard())
            KeyboardToPage();
        return 0;
    default:
        break;
    }
    return SpecialWind::HandleMessage(window, message, wParam, lParam);
}

bool PageWind::ForwardWebViewEvent(CallbackBase* owner, WebViewEvent kind, WebView* view, const wchar_t* url, long)
{
    if (kind == NewWindow) {
        // Whatever the page asked for, the embedded browser opens no window of its own.
        OpenInDefaultBrowser(url);
        return true;
    }
    return owner && static_cast<PageWind*>(owner)->OnWebViewEvent(kind, view, url);
}

bool PageWind::OnWebViewEvent(WebViewEvent kind, WebView*, const wchar_t* url)
{
    if (kind == NavigateError || kind == DocumentComplete)
        OnPageEvent(kind, url);
    return false;
}

// A failure of the page shows the notice; the completion of the navigation that retried it shows
// the page again.
void PageWind::OnPageEvent(WebViewEvent kind, const wchar_t* url)
{
    WindManager* manager = WindManager::Instance();
    if (kind == NavigateError && notice.OnFailure(url)) {
        ShowNotice();
    } else if (kind == DocumentComplete && notice.OnDocumentComplete(manager->IsWebViewNavigating(webView))) {
        ShowButtons();
        NoticeChanged();
        // Before the window is shown, showing the window shows its page; while it is minimised,
        // restoring it does.
        ShowPageWithWindow(PageWindow());
    }
}

void PageWind::ShowNotice()
{
    ShowButtons();
    PageNotice::HidePage(WindManager::Instance()->GetWebViewWindow(webView), windowHandle);
    NoticeChanged();
}

void PageWind::CreatePage(HWND window, const wchar_t* url, SIZE extra)
{
    RECT place = PagePlace();
    RECT rect;
    GetWindowRect(window, &rect);
    WindManager* manager = WindManager::Instance();
    // Owned: the system keeps the page above the window, at its place, and minimises, hides and
    // restores it with the window; it has no taskbar button of its own.
    webView = manager->CreateWebView(rect.left + place.left, rect.top + place.top,
        place.right - place.left + Dpi::Scale(extra.cx, dpi), place.bottom - place.top + Dpi::Scale(extra.cy, dpi),
        window, url, nullptr, nullptr);
    manager->SetWebViewCallback(webView, this, &PageWind::ForwardWebViewEvent);
    ZoomPage();
    PlacePage();
}

// The page's host is owned by this window, so its place is relative to this window. Repainted:
// parts of the page that were off the screen have no content to bring along.
void PageWind::PlacePage()
{
    RECT place = PagePlace();
    WindManager::Instance()->MoveWebView(webView, place.left, place.top, place.right - place.left,
        place.bottom - place.top, true);
}

void PageWind::ZoomPage()
{
    WindManager::Instance()->SetWebViewZoom(webView, Dpi::Zoom(dpi));
}

void PageWind::SetPageButtons(std::initializer_list<Button*> shown)
{
    pageButtons.assign(shown);
    ShowButtons();
}

void PageWind::ShowButtons()
{
    std::vector<Button*> shown = pageButtons;
    if (notice.IsShown())
        shown.push_back(&notice.RetryButton());
    panel.SetButtons(std::move(shown));
}

void PageWind::ScaleButtons()
{
    for (Button* button : GetButtons())
        button->SetScale(dpi);
    notice.SetScale(dpi);
}

void PageWind::RetryPage()
{
    const wchar_t* address = notice.Retry();
    if (address)
        WindManager::Instance()->NavigateWebView(webView, address);
}

void PageWind::OnRetryClick(int eventId, Button*, int)
{
    if (eventId == ButtonClick)
        RetryPage();
}

HWND PageWind::PageWindow() const
{
    return notice.IsShown() ? nullptr : WindManager::Instance()->GetWebViewWindow(webView);
}

void PageWind::KeyboardToPage()
{
    HWND page = PageWindow();
    if (page && IsWindowVisible(page))
        SetForegroundWindow(page);
}

// The show state the player chose for the process (a shortcut's "Run: Minimized", a program's
// STARTUPINFO), for its first window only: minimised or hidden as asked, and shown normally
// otherwise, since a skinned window has no maximised form.
int PageWind::StartShowState()
{
    static bool taken = false;
    if (taken)
        return SW_SHOWNORMAL;
    taken = true;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESHOWWINDOW))
        return SW_SHOWNORMAL;
    switch (startup.wShowWindow) {
    case SW_HIDE:
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        return startup.wShowWindow;
    case SW_FORCEMINIMIZE:
        return SW_MINIMIZE;
    default:
        return SW_SHOWNORMAL;
    }
}

void PageWind::ShowWithPage()
{
    int state = StartShowState();
    ShowWindow(windowHandle, state);
    // The system may apply the start state to the process's first ShowWindow by itself.
    if (state == SW_SHOWNORMAL && IsZoomed(windowHandle))
        ShowWindow(windowHandle, SW_SHOWNORMAL);
    UpdateWindow(windowHandle);
    // The page appears only once its window is on the screen, at its place, without taking the
    // activation from the window; a window started minimised shows it when restored.
    ShowPageWithWindow(PageWindow());
}

void PageWind::PageFollowsMinimise(WPARAM sizeKind)
{
    HWND page = WindManager::Instance()->GetWebViewWindow(webView);
    if (!page)
        return;
    if (sizeKind == SIZE_MINIMIZED) {
        pageHiddenWithWindow = ShowWindow(page, SW_HIDE) != FALSE;
        return;
    }
    if (pageHiddenWithWindow && !notice.IsShown()) {
        ShowWindow(page, SW_SHOWNA);
        PostMessageW(windowHandle, PrivateMessages::pageRestored, 0, 0);
    }
    pageHiddenWithWindow = false;
}

void PageWind::ShowPageWithWindow(HWND page)
{
    if (page && IsIconic(windowHandle))
        pageHiddenWithWindow = true;
    else if (page && IsWindowVisible(windowHandle))
        ShowWindow(page, SW_SHOWNA);
}

void PageWind::Minimise()
{
    // The activation moves on to the next window, as the system's minimise does.
    ShowWindow(windowHandle, SW_MINIMIZE);
}

void PageWind::Close()
{
    if (DeferWhileModal())
        return;
    DestroyPage();
    HWND window = windowHandle;
    windowHandle = nullptr;
    panel.SetWindow(nullptr);
    DestroyWindow(window);
}

bool PageWind::DeferWhileModal()
{
    if (!WindManager::Instance()->IsWebViewInModalUi(webView))
        return false;
    closeDeferred = true;
    return true;
}

void PageWind::DestroyPage()
{
    WindManager::Instance()->DestroyWebView(webView);
    webView = nullptr;
}

// The control has the first chance at the page's keys (its accelerators, moving between fields);
// what it leaves is typed into the page, whatever the page asks of the dialog manager. The
// launcher's keys and the browser's shortcuts never reach the control.
void PageWind::RouteKeyOfPage(PageKeyAction action, MSG& message, bool refreshOnF5)
{
    WindManager* manager = WindManager::Instance();
    switch (action) {
    case PageKeyAction::ToPage:
        if (manager->TranslateWebViewAccelerator(webView, &message))
            return;
        break;
    case PageKeyAction::TypeOnly:
        break;
    case PageKeyAction::Refresh:
    case PageKeyAction::RefreshCompletely:
        if (refreshOnF5)
            manager->RefreshWebView(webView, action == PageKeyAction::RefreshCompletely);
        return;
    case PageKeyAction::ToButtons:
        // F6 moves the keyboard between the page and the window's buttons, as between the panes
        // of any window.
        KeyboardToButtons(GetKeyState(VK_SHIFT) < 0);
        return;
    case PageKeyAction::ToWindow:
        SendMessageW(windowHandle, message.message, message.wParam, message.lParam);
        return;
    case PageKeyAction::CloseWindow:
        // Alt+F4 in the page closes the window the page belongs to, not just the page's host.
        PostMessageW(windowHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    case PageKeyAction::Drop:
    case PageKeyAction::SystemMenu:
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int PageWind::ShowAndRunLoop(bool refreshOnF5)
{
    if (!IsWindow(windowHandle))
        return 0;
    ShowWithPage();

    WindManager* manager = WindManager::Instance();
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0)) {
        HWND host = manager->GetWebViewWindow(webView);
        bool inPage = host && (message.hwnd == host || IsChild(host, message.hwnd));
        bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
        // A pointer in the page has left the window's buttons, whether or not the system says so
        // (Wine does not when it moves straight into the owned page).
        if (inPage && message.message == WM_MOUSEMOVE)
            SendMessageW(windowHandle, WM_MOUSELEAVE, 0, 0);
        PageKeyAction action = key ? PageKeys::RouteNow(message) : PageKeyAction::ToPage;
        // Alt+Space opens the window's system menu, as its default handling would, from the page
        // (whose host has none) and from the window itself (whose keys are not translated, so no
        // WM_SYSCHAR would come to open it). The character is the key's.
        if (action == PageKeyAction::SystemMenu && (inPage || message.hwnd == windowHandle)) {
            PostMessageW(windowHandle, WM_SYSCOMMAND, SC_KEYMENU, L' ');
            continue;
        }
        if (!inPage || !key) {
            DispatchMessageW(&message);
            continue;
        }
        RouteKeyOfPage(action, message, refreshOnF5);
    }
    return static_cast<int>(message.wParam);
}
