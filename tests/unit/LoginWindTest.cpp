#include <gtest/gtest.h>

#include <urlmon.h>

#include "TestSupport.h"
#include "WebViewTestSupport.h"
#include "webview/WebViewCallback.h"
#include "windows/LoginWind.h"

namespace {

// Opens the protected state to the tests and never outlives its window.
class ProbeLogin : public LoginWind {
public:
    ~ProbeLogin() override
    {
        if (windowHandle)
            DestroyWindow(windowHandle);
        PumpMessages();
    }
    HWND Page() const { return WindManager::Instance()->GetWebViewWindow(webView); }
    WebView* View() const { return webView; }
    bool Event(WebViewEvent kind, const wchar_t* url) { return ForwardWebViewEvent(this, kind, webView, url, 0); }
    // As Run shows it, without running the loop.
    void Show() { ShowWithPage(); }
    uint32_t SurfaceAt(int x, int y) const { return ReadBitmap(surface.DC(), surface.Bitmap()).At(x, y); }
};

const wchar_t gameAddress[] = L"http://s1.kolv.ops.test/login.php?uid=7&key=abc";
const wchar_t loginPage[] = L"http://passport.ops.test/kolv/login";
// Inside the skin's hole, where the notice is drawn.
const int holeX = 480;
const int holeY = 455;

} // namespace

TEST(LoginWind, FindsTheLoginPatternAnywhereCaseSensitively)
{
    EXPECT_TRUE(LoginWind::IsGameLogin(gameAddress));
    EXPECT_TRUE(LoginWind::IsGameLogin(L"http://x.test/a/.kolv.ops.test/login.php"));
    EXPECT_TRUE(LoginWind::IsGameLogin(L"http://x.test/?next=.kolv.ops.test/login.php&a=1"));
    EXPECT_TRUE(LoginWind::IsGameLogin(L".kolv.ops.test/login.php"));

    EXPECT_FALSE(LoginWind::IsGameLogin(L"http://s1.KOLV.ops.test/login.php"));
    EXPECT_FALSE(LoginWind::IsGameLogin(L"http://s1.kolv.ops.test/Login.php"));
    EXPECT_FALSE(LoginWind::IsGameLogin(L".kolv.ops.test/login.ph"));
    EXPECT_FALSE(LoginWind::IsGameLogin(L"http://passport.ops.test/kolv/login"));
    EXPECT_FALSE(LoginWind::IsGameLogin(L""));
    EXPECT_FALSE(LoginWind::IsGameLogin(nullptr));
}

TEST(LoginWind, PageLiesInTheHoleInAToolWindowItOwns)
{
    ProbeLogin login;
    ASSERT_TRUE(login.Create());
    HWND window = login.GetHandle();
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 1186);
    EXPECT_EQ(rect.bottom - rect.top, 954);

    HWND page = login.Page();
    ASSERT_NE(page, nullptr);
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    EXPECT_EQ(pageRect.left, rect.left + 477);
    EXPECT_EQ(pageRect.top, rect.top + 450);
    EXPECT_EQ(pageRect.right - pageRect.left, 574);
    EXPECT_EQ(pageRect.bottom - pageRect.top, 285);
    EXPECT_EQ(GetWindow(page, GW_OWNER), window);
    EXPECT_NE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    // Moving the login window takes the page along.
    MoveWindow(window, rect.left + 40, rect.top + 30, 1186, 954, FALSE);
    GetWindowRect(page, &pageRect);
    EXPECT_EQ(pageRect.left, rect.left + 40 + 477);
    EXPECT_EQ(pageRect.top, rect.top + 30 + 450);
    EXPECT_EQ(pageRect.bottom - pageRect.top, 285);
}

TEST(LoginWind, OnlyACompletedNavigationToAGameServerEndsTheLogin)
{
    ProbeLogin login;
    login.Create();
    HWND window = login.GetHandle();
    HWND page = login.Page();

    EXPECT_FALSE(login.Event(DocumentComplete, gameAddress));
    EXPECT_FALSE(login.Event(NavigateComplete, L"http://passport.ops.test/kolv/login?error=1"));
    EXPECT_FALSE(login.Event(NavigateComplete, L""));
    EXPECT_TRUE(login.gameUrl.empty());
    EXPECT_TRUE(IsWindow(window));

    // Anything that is not a web address opens nothing, and the browser's own window is refused.
    EXPECT_TRUE(login.Event(NewWindow, L"file:///C:/Windows/System32/calc.exe"));

    EXPECT_TRUE(login.Event(NavigateComplete, gameAddress));
    EXPECT_EQ(login.gameUrl, gameAddress);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(login.GetHandle(), nullptr);
    EXPECT_EQ(login.Page(), nullptr);
    EXPECT_EQ(TakeQuitCode(), 1);
}

TEST(LoginWind, ClosedWithoutALoginEndsTheLauncherAndTakesThePage)
{
    ProbeLogin login;
    login.Create();
    HWND window = login.GetHandle();
    HWND page = login.Page();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_TRUE(login.gameUrl.empty());
    EXPECT_EQ(TakeQuitCode(), 0);
}

TEST(LoginWind, AFailedPageGivesWayToTheNoticeUntilItsRetryCompletes)
{
    ProbeLogin login;
    login.Create();
    login.Show();
    HWND window = login.GetHandle();
    HWND page = login.Page();
    ASSERT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(Pixels::Alpha(login.SurfaceAt(holeX, holeY)), 0);

    EXPECT_EQ(PageFails(login.View(), loginPage, INET_E_RESOURCE_NOT_FOUND), VARIANT_TRUE);
    EXPECT_FALSE(IsWindowVisible(page));
    EXPECT_EQ(login.SurfaceAt(holeX, holeY), 0xFF1C162Eu);
    // Retry is the last button the keyboard and screen readers reach while the notice shows.
    ASSERT_EQ(login.GetButtons().size(), 7u);
    EXPECT_STREQ(login.GetButtons().back()->GetName(), L"Retry");

    // F5 navigates again; the page comes back with its own completion, not with a frame's.
    EXPECT_FALSE(WindManager::Instance()->IsWebViewNavigating(login.View()));
    SendMessageW(window, WM_KEYDOWN, VK_F5, 1);
    EXPECT_TRUE(WindManager::Instance()->IsWebViewNavigating(login.View()));
    EventSender frame;
    PageCompletes(login.View(), L"http://ads.test/frame", &frame);
    EXPECT_FALSE(IsWindowVisible(page));
    PageCompletes(login.View(), loginPage);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(Pixels::Alpha(login.SurfaceAt(holeX, holeY)), 0);
    EXPECT_EQ(login.GetButtons().size(), 6u);
    RECT rect;
    RECT pageRect;
    GetWindowRect(window, &rect);
    GetWindowRect(page, &pageRect);
    EXPECT_EQ(pageRect.left, rect.left + 477);
    EXPECT_EQ(pageRect.top, rect.top + 450);

    // Enter and the Retry button only act while there is a notice.
    SendMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_FALSE(WindManager::Instance()->IsWebViewNavigating(login.View()));
}

TEST(LoginWind, AFailureBeforeTheWindowIsShownKeepsThePageHidden)
{
    ProbeLogin login;
    login.Create();
    PageFails(login.View(), loginPage, 503);
    login.Show();
    EXPECT_TRUE(IsWindowVisible(login.GetHandle()));
    EXPECT_FALSE(IsWindowVisible(login.Page()));
    EXPECT_EQ(login.SurfaceAt(holeX, holeY), 0xFF1C162Eu);
    // Activating the window leaves it hidden too.
    SendMessageW(login.GetHandle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_FALSE(IsWindowVisible(login.Page()));
}

TEST(LoginWind, AGameLoginIsDetectedWhateverFailedBefore)
{
    ProbeLogin login;
    login.Create();
    PageFails(login.View(), loginPage, INET_E_CANNOT_CONNECT);
    EXPECT_TRUE(login.Event(NavigateComplete, gameAddress));
    EXPECT_EQ(login.gameUrl, gameAddress);
    EXPECT_EQ(login.GetHandle(), nullptr);
    EXPECT_EQ(TakeQuitCode(), 1);
}
