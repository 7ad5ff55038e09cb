#include "windows/PageWind.h"

#include "webview/WebViewCallback.h"
#include "windows/Button.h"

PageWind::PageWind() : webView(nullptr), notice(this), closeDeferred(false)
{
}

PageWind::~PageWind() = default;

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
    default:
        break;
    }
    return SpecialWind::HandleMessage(window, message, wParam, lParam);
}

bool PageWind::ShowsPage() const
{
    return !notice.IsShown();
}

HWND PageWind::PageWindow() const
{
    return notice.IsShown() ? nullptr : WindManager::Instance()->GetWebViewWindow(webView);
}

void PageWind::OnPageEvent(WebViewEvent kind, const wchar_t* url)
{
    if (kind == NavigateError && notice.OnFailure(url))
        ShowNotice();
    else if (kind == DocumentComplete && notice.OnDocumentComplete(WindManager::Instance()->IsWebViewNavigating(webView)))
        ShowPage();
}

void PageWind::RetryPage()
{
    const wchar_t* address = notice.Retry();
    if (address)
        WindManager::Instance()->NavigateWebView(webView, address);
}

void PageWind::ScaleButtons()
{
    for (Button* button : GetButtons())
        button->SetScale(dpi);
    notice.SetScale(dpi);
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
