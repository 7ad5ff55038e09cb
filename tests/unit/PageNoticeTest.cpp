#include <gtest/gtest.h>

#include "ProbeWind.h"
#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "windows/PageNotice.h"

namespace {

const wchar_t loginPage[] = L"http://passport.ops.test/kolv/login";
const wchar_t otherPage[] = L"http://passport.ops.test/kolv/login?retry=2";
// The login window's hole, where the notice is drawn on the skin.
const RECT hole = {477, 450, 1051, 735};
const uint32_t panel = 0xFF1C162E;
const LPARAM heldBefore = 1 << 30;

int Differing(const Pixels& pixels, const RECT& area, uint32_t colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += pixels.At(x, y) != colour;
    return count;
}

// The page's navigation completes, though not one the notice's Retry asked for: it stays.
void ExpectStaysAfterACompletion(PageNotice& notice)
{
    EXPECT_FALSE(notice.OnDocumentComplete(false));
    EXPECT_TRUE(notice.IsShown());
}

} // namespace

TEST(PageNotice, OnlyTheRetrysOwnCompletionBringsThePageBack)
{
    ProbeWind owner;
    PageNotice notice(owner.Host());
    EXPECT_EQ(notice.Retry(), nullptr);
    EXPECT_TRUE(notice.OnFailure(loginPage));
    EXPECT_FALSE(notice.OnFailure(loginPage));
    // A late completion of the navigation that failed: nobody asked for a retry.
    ExpectStaysAfterACompletion(notice);

    // Each press asks for the failed address; a frame completing while the page's own
    // navigation goes on changes nothing.
    EXPECT_STREQ(notice.Retry(), loginPage);
    EXPECT_STREQ(notice.Retry(), loginPage);
    EXPECT_FALSE(notice.OnDocumentComplete(true));
    // The retry fails too: the notice stays, and only another retry can end it.
    EXPECT_FALSE(notice.OnFailure(otherPage));
    ExpectStaysAfterACompletion(notice);
    EXPECT_STREQ(notice.Retry(), otherPage);
    EXPECT_TRUE(notice.OnDocumentComplete(false));
    EXPECT_FALSE(notice.IsShown());

    // Gone, it neither retries nor comes back by itself.
    EXPECT_EQ(notice.Retry(), nullptr);
    EXPECT_FALSE(notice.OnDocumentComplete(false));
}

TEST(PageNotice, EnterAndF5RetryOncePerPress)
{
    EXPECT_TRUE(PageNotice::IsRetryKey(WM_KEYDOWN, VK_RETURN, 1));
    EXPECT_TRUE(PageNotice::IsRetryKey(WM_KEYDOWN, VK_F5, 0x003F0001));
    EXPECT_FALSE(PageNotice::IsRetryKey(WM_KEYDOWN, VK_F5, 0x003F0001 | heldBefore));
    EXPECT_FALSE(PageNotice::IsRetryKey(WM_KEYDOWN, VK_RETURN, heldBefore));
    EXPECT_FALSE(PageNotice::IsRetryKey(WM_KEYUP, VK_RETURN, 0));
    EXPECT_FALSE(PageNotice::IsRetryKey(WM_CHAR, L'\r', 0));
    EXPECT_FALSE(PageNotice::IsRetryKey(WM_SYSKEYDOWN, VK_F5, 0));
    for (int key : {VK_SPACE, VK_ESCAPE, VK_F4, static_cast<int>('R')})
        EXPECT_FALSE(PageNotice::IsRetryKey(WM_KEYDOWN, key, 0)) << key;
}

TEST(PageNotice, DrawnOnTheSkinItCoversTheHoleAndTheSkinComesBackWhole)
{
    ProbeWind login(WindManager::Instance()->LoadPngResource(IMAGE_SKIN, L"PNG"));
    ASSERT_NE(login.GetSurface().Graphics(), nullptr);
    Pixels skin = login.Surface();
    PageNotice notice(login.Host());
    notice.SetArea(hole);
    RECT button = notice.RetryButton().GetRect();
    // The button's own size, centred across the hole and below the middle, where the text leaves room.
    EXPECT_EQ(button.right - button.left, 96);
    EXPECT_EQ(button.bottom - button.top, 37);
    EXPECT_EQ((button.left - hole.left) - (hole.right - button.right), 0);
    EXPECT_GT(button.top, (hole.top + hole.bottom) / 2);
    EXPECT_LT(button.bottom, hole.bottom);

    notice.Draw(login.GetSurface().Graphics());
    Pixels drawn = login.Surface();
    for (POINT corner : {POINT{hole.left, hole.top}, POINT{hole.right - 1, hole.bottom - 1}})
        EXPECT_EQ(drawn.At(corner.x, corner.y), panel);
    // Two lines of text above the button, and the button's image.
    RECT text = {hole.left, button.top - 72, hole.right, button.top - 8};
    EXPECT_GT(Differing(drawn, text, panel), 1500);
    EXPECT_GT(Differing(drawn, button, panel), 1500);
    RECT between = {hole.left, button.top - 6, hole.right, button.top};
    EXPECT_EQ(Differing(drawn, between, panel), 0);
    int opaque = 0;
    for (int y = hole.top; y < hole.bottom; ++y)
        for (int x = hole.left; x < hole.right; ++x)
            opaque += Pixels::Alpha(drawn.At(x, y)) == 255;
    EXPECT_EQ(opaque, (hole.right - hole.left) * (hole.bottom - hole.top));
    // Nothing outside the hole changed.
    for (POINT outside : {POINT{hole.left - 1, 600}, POINT{hole.right, 600}, POINT{760, hole.top - 1}})
        EXPECT_EQ(drawn.At(outside.x, outside.y), skin.At(outside.x, outside.y));

    login.GetSurface().RedrawSkin(hole);
    EXPECT_TRUE(login.Surface().data == skin.data);
}
