#include <gtest/gtest.h>

#include <urlmon.h>

#include "webview/NavigationPolicy.h"

namespace {

struct AddressCase {
    const wchar_t* address;
    bool mayNavigate;
    bool loadsDocument;
};

const AddressCase addressCases[] = {
    {L"http://passport.ops.test/kolv/login", true, true},
    {L"HTTPS://passport.ops.test/", true, true},
    {L"about:blank", true, false},
    {L"JavaScript:void(0)", true, false},
    {L"res://ieframe.dll/navcancl.htm", false, false},
    {L"file:///C:/windows/system32/calc.exe", false, false},
    {L"ms-settings:", false, false},
    {L"mailto:someone@ops.test", false, false},
    // A dotless i folds to i outside ASCII: another scheme.
    {L"javascr\u0131pt:alert(1)", false, false},
    {L"httpx://ops.test/", false, false},
    {L"htt://ops.test/", false, false},
    {L"passport.ops.test/login", false, false},
    {L"", false, false},
};

TEST(NavigationPolicyTest, SchemesDecideWhereAPageGoesAndWhatIsWatched)
{
    for (const AddressCase& c : addressCases) {
        EXPECT_EQ(MayNavigate(c.address), c.mayNavigate) << testing::PrintToString(std::wstring(c.address));
        EXPECT_EQ(LoadsDocument(c.address), c.loadsDocument) << testing::PrintToString(std::wstring(c.address));
    }
}

struct MoveCase {
    const wchar_t* address;
    const wchar_t* page;
    bool withinPage;
};

const MoveCase moveCases[] = {
    {L"http://ops.test/login#news", L"http://ops.test/login", true},
    {L"http://ops.test/login#news", L"http://ops.test/login#top", true},
    {L"http://ops.test/login#", L"http://ops.test/login", true},
    {L"http://ops.test/login", L"http://ops.test/login", false},
    {L"http://ops.test/login?x=1#news", L"http://ops.test/login", false},
    {L"http://ops.test/log#in", L"http://ops.test/login", false},
    {L"http://ops.test/login#news", L"http://ops.test/login2", false},
    {L"http://ops.test/login#news", L"", false},
};

TEST(NavigationPolicyTest, OnlyAFragmentOfThePageShownIsAMoveWithinIt)
{
    for (const MoveCase& c : moveCases)
        EXPECT_EQ(WithinPage(c.address, c.page), c.withinPage)
            << testing::PrintToString(std::wstring(c.address)) << " on " << testing::PrintToString(std::wstring(c.page));
}

TEST(NavigationPolicyTest, StatusesFrom400AndErrorCodesFail)
{
    const struct {
        long status;
        bool failure;
    } cases[] = {
        {200, false}, {204, false}, {304, false}, {399, false}, {0, false}, {400, true}, {404, true}, {500, true},
        {static_cast<long>(INET_E_CONNECTION_TIMEOUT), true}, {static_cast<long>(INET_E_RESOURCE_NOT_FOUND), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsFailure(c.status), c.failure) << c.status;
}

} // namespace
