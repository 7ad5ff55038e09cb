#include <gtest/gtest.h>

#include <urlmon.h>

#include "ProbeGame.h"
#include "TestSupport.h"
#include "WebViewTestSupport.h"
#include "webview/WebViewCallback.h"

namespace {

const wchar_t gameAddress[] = L"http://s1.kolv.ops.test/login.php?uid=7";

// Whether a press at the point made the window post itself the start of a drag.
bool PressDrags(ProbeGame& game, int x, int y)
{
    PumpMessages();
    game.HandleMessage(game.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    MSG message;
    return PeekMessageW(&message, game.GetHandle(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != FALSE;
}

void ExpectButtonsAtTheRightEnd(const ProbeGame& game, int width)
{
    for (int i = 0; i < 3; ++i) {
        RECT rect = game.ButtonRect(i);
        EXPECT_EQ(rect.left, width - 96 + 32 * i) << i;
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right - rect.left, 30);
        EXPECT_EQ(rect.bottom - rect.top, 27);
    }
}

} // namespace

TEST(GameWind, CopiesItsAddress)
{
    wchar_t address[] = L"http://s1.kolv.ops.test/login.php?uid=7";
    ProbeGame game(address);
    address[7] = L'X';
    EXPECT_EQ(game.Url(), L"http://s1.kolv.ops.test/login.php?uid=7");
}

TEST(GameWind, CoversTheWorkAreaWithThePageBelowItsTitleBar)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = work.right - work.left;
    int height = work.bottom - work.top;
    ProbeGame game(L"http://s1.kolv.ops.test/login.php");
    ASSERT_TRUE(game.Create());
    HWND window = game.GetHandle();
    ASSERT_NE(window, nullptr);

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_TRUE(EqualRect(&rect, &work));
    RECT page = game.PageArea();
    EXPECT_EQ(page.left, 0);
    EXPECT_EQ(page.top, 30);
    EXPECT_EQ(page.right, width);
    EXPECT_EQ(page.bottom, height - 30);
    ExpectButtonsAtTheRightEnd(game, width);

    HWND host = game.Page();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(GetWindow(host, GW_OWNER), window);
    RECT hostRect;
    GetWindowRect(host, &hostRect);
    EXPECT_EQ(hostRect.left, work.left);
    EXPECT_EQ(hostRect.top, work.top + 30);
    EXPECT_EQ(hostRect.right - hostRect.left, width);
    EXPECT_EQ(hostRect.bottom - hostRect.top, height - 30);

    // The page and the buttons follow the window's size and place.
    MoveWindow(window, 100, 50, 1202, 500, TRUE);
    page = game.PageArea();
    EXPECT_EQ(page.right, 1202);
    EXPECT_EQ(page.bottom, 470);
    ExpectButtonsAtTheRightEnd(game, 1202);
    RECT kept = game.WindowRect();
    EXPECT_EQ(kept.right - kept.left, 1202);
    EXPECT_EQ(kept.bottom - kept.top, 500);
    GetWindowRect(host, &hostRect);
    EXPECT_EQ(hostRect.left, 100);
    EXPECT_EQ(hostRect.top, 80);
    EXPECT_EQ(hostRect.right - hostRect.left, 1202);
    EXPECT_EQ(hostRect.bottom - hostRect.top, 470);

    // Minimised, the page keeps its size; a change of the display brings the window back onto
    // the work area.
    SendMessageW(window, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(game.PageArea().right, 1202);
    EXPECT_EQ(game.PageArea().bottom, 470);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height));
    GetWindowRect(window, &rect);
    EXPECT_TRUE(EqualRect(&rect, &work));
    EXPECT_EQ(game.PageArea().bottom, height - 30);
}

TEST(GameWind, MaximiseButtonTogglesAndRestoresTheRectangle)
{
    ProbeGame game(L"");
    game.Create();
    HWND window = game.GetHandle();
    ShowWindow(window, SW_SHOWNORMAL);
    MoveWindow(window, 60, 40, 900, 600, TRUE);
    PumpMessages();

    game.Click(1);
    PumpMessages();
    EXPECT_TRUE(IsZoomed(window));
    game.Click(1);
    PumpMessages();
    EXPECT_FALSE(IsZoomed(window));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 60);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 960);
    EXPECT_EQ(rect.bottom, 640);
}

TEST(GameWind, CloseButtonAndCloseRequestEndTheLoopWithThePage)
{
    for (bool byButton : {true, false}) {
        ProbeGame game(L"http://s1.kolv.ops.test/login.php");
        game.Create();
        HWND window = game.GetHandle();
        HWND host = game.Page();
        ASSERT_NE(host, nullptr);
        if (byButton)
            game.Click(2);
        else
            SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(window)) << byButton;
        EXPECT_FALSE(IsWindow(host)) << byButton;
        EXPECT_EQ(game.Page(), nullptr) << byButton;
        EXPECT_EQ(TakeQuitCode(), 0) << byButton;
    }
}

TEST(GameWind, AFailedPageGivesWayToTheNoticeUntilItsRetryCompletes)
{
    ProbeGame game(gameAddress);
    game.Create();
    RECT area = game.NoticeArea();
    RECT page = game.PageArea();
    EXPECT_TRUE(area.left == page.left && area.top == page.top && area.right == page.right
        && area.bottom == page.top + page.bottom);

    // Failed before the window is shown, the page stays hidden; Enter retries.
    EXPECT_EQ(PageFails(game.View(), gameAddress, INET_E_DOWNLOAD_FAILURE), VARIANT_TRUE);
    game.Show();
    EXPECT_TRUE(IsWindowVisible(game.GetHandle()));
    EXPECT_FALSE(IsWindowVisible(game.Page()));
    SendMessageW(game.GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(WindManager::Instance()->IsWebViewNavigating(game.View()));
    PageCompletes(game.View(), gameAddress);
    EXPECT_TRUE(IsWindowVisible(game.Page()));

    // Shown, the page gives way again; the Retry button navigates once per click.
    PageFails(game.View(), gameAddress, 404);
    EXPECT_FALSE(IsWindowVisible(game.Page()));
    game.ClickRetry();
    EXPECT_TRUE(WindManager::Instance()->IsWebViewNavigating(game.View()));
    PageCompletes(game.View(), gameAddress);
    EXPECT_TRUE(IsWindowVisible(game.Page()));
    // Hidden, the button takes no clicks: nothing navigates.
    game.ClickRetry();
    EXPECT_FALSE(WindManager::Instance()->IsWebViewNavigating(game.View()));
}

TEST(GameWind, OnlyAPressOnTheTitleBarDragsTheWindow)
{
    ProbeGame game(gameAddress);
    game.Create();
    PageFails(game.View(), gameAddress, 500);
    EXPECT_TRUE(PressDrags(game, 400, 12));
    EXPECT_FALSE(PressDrags(game, 400, 30));
    EXPECT_FALSE(PressDrags(game, 400, 500));
}

TEST(GameWind, NewWindowsAreAlwaysRefusedToTheBrowser)
{
    EXPECT_TRUE(GameWind::ForwardWebViewEvent(nullptr, NewWindow, nullptr, L"javascript:alert(1)", 0));
    EXPECT_FALSE(GameWind::ForwardWebViewEvent(nullptr, NavigateComplete, nullptr, L"http://x.test/", 0));
    EXPECT_FALSE(GameWind::ForwardWebViewEvent(nullptr, DocumentComplete, nullptr, L"http://x.test/", 0));
}
