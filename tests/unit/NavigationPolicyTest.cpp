#include <gtest/gtest.h>

#include <urlmon.h>

#include <string>

#include "webview/NavigationPolicy.h"

namespace {

// Addresses that the policy answers alike: whether the page may go there, whether it loads a
// document there, and whether, with the page given shown, it is a move within that page.
struct Answers {
    const char* name;
    bool mayNavigate;
    bool loadsDocument;
    const wchar_t* page;
    bool withinPage;
    // Up to the first null; a fixed array keeps the table off the heap.
    const wchar_t* addresses[10];
};

// Names each case in the test list.
void PrintTo(const Answers& answers, std::ostream* stream)
{
    *stream << answers.name;
}

class NavigationPolicyAnswers : public testing::TestWithParam<Answers> {};

TEST_P(NavigationPolicyAnswers, SchemesDecideWhereAPageGoesAndOnlyAFragmentOfThePageShownIsAMoveWithinIt)
{
    const Answers& answers = GetParam();
    for (const wchar_t* address : answers.addresses) {
        if (address == nullptr)
            break;
        std::string asked = testing::PrintToString(std::wstring(address)) + " on "
            + testing::PrintToString(std::wstring(answers.page));
        EXPECT_EQ(MayNavigate(address), answers.mayNavigate) << asked;
        EXPECT_EQ(LoadsDocument(address), answers.loadsDocument) << asked;
        EXPECT_EQ(WithinPage(address, answers.page), answers.withinPage) << asked;
    }
}

INSTANTIATE_TEST_SUITE_P(NavigationPolicyTest, NavigationPolicyAnswers,
    testing::Values(
        Answers{"Documents", true, true, L"", false,
            {L"http://passport.ops.test/kolv/login", L"HTTPS://passport.ops.test/", L"http://ops.test/login#news"}},
        Answers{"InPlace", true, false, L"", false, {L"about:blank", L"JavaScript:void(0)"}},
        // A dotless i folds to i outside ASCII: another scheme.
        Answers{"Refused", false, false, L"", false,
            {L"res://ieframe.dll/navcancl.htm", L"file:///C:/windows/system32/calc.exe", L"ms-settings:",
                L"mailto:someone@ops.test", L"javascr\u0131pt:alert(1)", L"httpx://ops.test/", L"htt://ops.test/",
                L"passport.ops.test/login", L""}},
        Answers{"FragmentOfThePage", true, true, L"http://ops.test/login", true,
            {L"http://ops.test/login#news", L"http://ops.test/login#"}},
        Answers{"AnotherFragment", true, true, L"http://ops.test/login#top", true, {L"http://ops.test/login#news"}},
        Answers{"NoFragment", true, true, L"http://ops.test/login", false,
            {L"http://ops.test/login", L"http://ops.test/login?x=1#news", L"http://ops.test/log#in"}},
        Answers{"AnotherPage", true, true, L"http://ops.test/login2", false, {L"http://ops.test/login#news"}}));

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
