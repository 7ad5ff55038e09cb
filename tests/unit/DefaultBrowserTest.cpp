#include <gtest/gtest.h>

#include <string>

#include "windows/DefaultBrowser.h"
#include "windows/OperatorAddresses.h"

TEST(DefaultBrowser, AcceptsAbsoluteWebAddresses)
{
    for (const wchar_t* address : {OperatorAddresses::loginPage, OperatorAddresses::officialSite,
             OperatorAddresses::recharge, OperatorAddresses::forum, OperatorAddresses::customerService,
             L"HTTP://PAY.OPS.TEST/", L"https://x", L"hTTpS://s1.kolv.ops.test/login.php?uid=7&key=a%20b#top",
             L"http://\u4f8b\u3048.test/\u8def"})
        EXPECT_TRUE(IsWebAddress(address)) << address;
}

TEST(DefaultBrowser, RefusesEverythingThatCouldStartAProgram)
{
    for (const wchar_t* address : {L"file:///C:/Windows/System32/calc.exe", L"C:\\Windows\\notepad.exe",
             L"\\\\server\\share\\x.exe", L"javascript:alert(1)", L"", L"http:", L"http://", L"https:///path",
             L"http:/x", L"notepad.exe", L"ms-settings:", L"mailto:a@b.test", L"  http://x", L"ftp://x/",
             L"http://x\" --new-window \"c:\\evil", L"http://x y", L"http://x\ty", L"http://x\r\ny",
             L"http://x\\..\\y", L"http://x|calc", L"http://x\u0085y", L"http://user@/x", L"http://a:b@:80/"})
        EXPECT_FALSE(IsWebAddress(address)) << address;
    EXPECT_FALSE(IsWebAddress(nullptr));
    EXPECT_FALSE(OpenInDefaultBrowser(L"file:///C:/Windows/System32/calc.exe"));
}

TEST(DefaultBrowser, RefusesOverlongAddresses)
{
    std::wstring address = L"http://x/" + std::wstring(2039, L'a');
    EXPECT_EQ(address.size(), 2048u);
    EXPECT_TRUE(IsWebAddress(address.c_str()));
    address += L'a';
    EXPECT_FALSE(IsWebAddress(address.c_str()));
    EXPECT_FALSE(IsWebAddress((L"http://x/" + std::wstring(100000, L'a')).c_str()));
}
