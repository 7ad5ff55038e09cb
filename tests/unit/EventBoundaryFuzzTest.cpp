#include <gtest/gtest.h>

#include <exdispid.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "WebViewTestSupport.h"
#include "toolkit/WindManager.h"
#include "webview/WebView.h"
#include "webview/WebViewEventAgent.h"
#include "windows/DefaultBrowser.h"

namespace {

const int fuzzCalls = 100000;

// A new seed every run, printed first so that a crash names it too; FUZZ_SEED replays one.
unsigned FuzzSeed()
{
    wchar_t text[16];
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    DWORD length = GetEnvironmentVariableW(L"FUZZ_SEED", text, 16);
    unsigned seed = length > 0 && length < 16 ? wcstoul(text, nullptr, 10) : static_cast<unsigned>(now.QuadPart);
    std::printf("FUZZ_SEED=%u\n", seed);
    std::fflush(stdout);
    return seed;
}

// The published arguments, last first, of the events the agent reads, and where their Cancel
// lies: the only argument the agent may write.
struct EventShape {
    DISPID id;
    std::vector<VARTYPE> types;
    int cancel;
};

const VARTYPE refBool = VT_BYREF | VT_BOOL;
const VARTYPE refVariant = VT_BYREF | VT_VARIANT;
const EventShape shapes[] = {
    {DISPID_BEFORENAVIGATE2, {refBool, refVariant, refVariant, refVariant, refVariant, refVariant, VT_DISPATCH}, 0},
    {DISPID_NEWWINDOW2, {refBool, VT_BYREF | VT_DISPATCH}, 0},
    {DISPID_NAVIGATECOMPLETE2, {refVariant, VT_DISPATCH}, -1},
    {DISPID_DOCUMENTCOMPLETE, {refVariant, VT_DISPATCH}, -1},
    {DISPID_WINDOWCLOSING, {refBool, VT_BOOL}, 0},
    {DISPID_NEWWINDOW3, {VT_BSTR, VT_BSTR, VT_I4, refBool, VT_BYREF | VT_DISPATCH}, 3},
    {DISPID_NAVIGATEERROR, {refBool, refVariant, refVariant, refVariant, VT_DISPATCH}, 0},
    {0, {}, -1},
    {270, {}, -1},
};

// Everything a by-reference argument may point at, compared before and after each call.
struct Targets {
    VARIANT_BOOL flags[4];
    VARIANT variants[4];
    alignas(8) BYTE other[64];
};

// Checks each address it is given: the agent's empty string, or one of the BSTRs with a NUL
// within the bytes the BSTR holds.
struct FuzzOwner : CallbackBase {
    static bool Callback(CallbackBase* owner, WebViewEvent, WebView*, const wchar_t* url, long)
    {
        auto* self = static_cast<FuzzOwner*>(owner);
        ++self->calls;
        UINT limit = self->strings.count(url) ? SysStringByteLen(const_cast<BSTR>(url)) / sizeof(wchar_t) : 0;
        self->badUrls += !url || wcsnlen(url, limit + 1) > limit;
        return self->calls & 1;
    }

    std::unordered_set<const wchar_t*> strings;
    int calls = 0;
    int badUrls = 0;
};

// Random bits of a type, where the agent has no business reading, except for BSTRs, which are
// real ones, dispatch pointers, which are null or one of the senders, and references, which are
// null or point into the targets.
VARIANT RandomValue(std::mt19937& random, VARTYPE type, Targets& targets, const std::vector<BSTR>& strings,
    const std::vector<IDispatch*>& senders)
{
    VARIANT value;
    value.llVal = (static_cast<LONGLONG>(random()) << 32) | random();
    value.vt = type;
    if (type == VT_BSTR)
        value.bstrVal = strings[random() % strings.size()];
    else if (type == VT_DISPATCH)
        value.pdispVal = senders[random() % senders.size()];
    else if (type & VT_BYREF)
        value.byref = random() % 4 == 0                  ? nullptr
            : (type & VT_TYPEMASK) == VT_BOOL            ? static_cast<void*>(&targets.flags[random() % 4])
            : (type & VT_TYPEMASK) == VT_VARIANT         ? static_cast<void*>(&targets.variants[random() % 4])
                                                         : static_cast<void*>(&targets.other[8 * (random() % 7)]);
    return value;
}

VARTYPE RandomType(std::mt19937& random)
{
    const VARTYPE types[] = {VT_EMPTY, VT_I4, VT_BOOL, VT_BSTR, VT_DISPATCH, VT_VARIANT, VT_R8, VT_ARRAY | VT_I4};
    VARTYPE type = random() % 8 ? types[random() % 8] : static_cast<VARTYPE>(random());
    return random() % 2 ? static_cast<VARTYPE>(type | VT_BYREF) : type;
}

} // namespace

TEST(WebViewEventAgentFuzz, RandomEventsNeitherFaultNorWriteButThroughTheirCancel)
{
    unsigned seed = FuzzSeed();
    SCOPED_TRACE(testing::Message() << "FUZZ_SEED=" << seed);
    std::mt19937 random(seed);
    auto* webView = new WebView;
    webView->eventAgent = new WebViewEventAgent(webView, testStallPeriodMs);
    EventSender control;
    EventSender frame;
    control.Identity()->AddRef();
    webView->control.Attach(control.Identity());
    const std::vector<IDispatch*> senders = {nullptr, &control, &frame};
    FuzzOwner owner;
    ASSERT_TRUE(WindManager::Instance()->SetWebViewCallback(webView, &owner, FuzzOwner::Callback));
    std::vector<BSTR> strings = {nullptr, SysAllocString(L""), SysAllocString(L"http://passport.ops.test/"),
        SysAllocString(L"file:///C:/x.exe"), SysAllocStringLen(L"http://a.test/\0file:", 20),
        SysAllocStringByteLen("http://odd", 9), SysAllocStringByteLen("q", 1), SysAllocStringLen(nullptr, 3000)};
    wmemset(strings.back(), L'h', 3000);
    for (BSTR text : strings)
        owner.strings.insert(text);
    // The arguments end where an inaccessible page begins: one entry too far faults.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    DWORD previous;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &previous));
    Targets targets;

    int failures = 0;
    for (int call = 0; call < fuzzCalls && failures < 10; ++call) {
        const EventShape& shape = shapes[random() % (sizeof(shapes) / sizeof(shapes[0]))];
        DISPID id = random() % 16 ? shape.id : static_cast<DISPID>(random());
        UINT count = random() % 2 ? static_cast<UINT>(shape.types.size()) : random() % 9;
        for (VARIANT_BOOL& flag : targets.flags)
            flag = 0x5A5A;
        for (VARIANT& variant : targets.variants)
            variant = RandomValue(random, random() % 2 ? VARTYPE(VT_BSTR) : RandomType(random), targets, strings,
                senders);
        for (BYTE& byte : targets.other)
            byte = static_cast<BYTE>(random());
        VARIANT* arguments = reinterpret_cast<VARIANT*>(pages + system.dwPageSize) - count;
        std::unordered_set<VARIANT_BOOL*> cancels;
        for (UINT i = 0; i < count; ++i) {
            bool published = id == shape.id && i < shape.types.size() && random() % 4;
            arguments[i] = RandomValue(random, published ? shape.types[i] : RandomType(random), targets, strings,
                senders);
            if (id == shape.id && static_cast<int>(i) == shape.cancel && arguments[i].vt == refBool)
                cancels.insert(arguments[i].pboolVal);
        }
        Targets before = targets;
        DISPPARAMS params = {random() % 16 ? arguments : nullptr, nullptr, count, 0};
        bool noParams = random() % 64 == 0;
        int callsBefore = owner.calls;

        HRESULT result = webView->eventAgent->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
            noParams ? nullptr : &params, nullptr, nullptr, nullptr);

        bool callsBack = id == DISPID_NEWWINDOW2 || id == DISPID_NAVIGATECOMPLETE2 || id == DISPID_DOCUMENTCOMPLETE
            || id == DISPID_NEWWINDOW3;
        int called = owner.calls - callsBefore;
        bool ok = result == (noParams ? E_INVALIDARG : S_OK)
            && std::memcmp(before.variants, targets.variants, sizeof(targets.variants)) == 0
            && std::memcmp(before.other, targets.other, sizeof(targets.other)) == 0;
        if (id == DISPID_NAVIGATEERROR) {
            // A failure of the page is reported exactly when its error page is refused.
            int refused = 0;
            int allowed = 0;
            for (VARIANT_BOOL flag : targets.flags) {
                refused += flag == VARIANT_TRUE;
                allowed += flag == VARIANT_FALSE;
            }
            ok = ok && called == refused && called <= 1 && allowed == 0;
        } else {
            ok = ok && called == (callsBack && !noParams);
        }
        for (VARIANT_BOOL& flag : targets.flags)
            ok = ok && (flag == 0x5A5A || (cancels.count(&flag) && (flag == VARIANT_TRUE || flag == VARIANT_FALSE)));
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "call " << call << ": dispid " << id << ", " << count << " arguments: answered 0x"
                          << std::hex << result << ", called back or wrote where it should not";
        }
    }
    EXPECT_EQ(owner.badUrls, 0) << "addresses that were not NUL-terminated strings";
    EXPECT_GT(owner.calls, fuzzCalls / 10);
    WindManager::Instance()->DestroyWebView(webView);
    PumpMessages();
    VirtualFree(pages, 0, MEM_RELEASE);
    for (BSTR text : strings)
        SysFreeString(text);
}

namespace {

std::vector<std::wstring> opened;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    opened.push_back(std::wstring(verb) + L" " + file);
    return reinterpret_cast<HINSTANCE>(33);
}

// Written apart from the product's check: http or https, a host left in the authority after any
// user name and before any port, at most 2048 characters, each one of RFC 3986's or beyond ASCII
// and its C1 controls.
bool IsAbsoluteWebAddress(std::wstring address)
{
    for (size_t i = 0; i < address.size() && i < 8; ++i)
        address[i] = static_cast<wchar_t>(address[i] >= L'A' && address[i] <= L'Z' ? address[i] + 32 : address[i]);
    size_t start = address.rfind(L"http://", 0) == 0 ? 7 : address.rfind(L"https://", 0) == 0 ? 8 : 0;
    std::wstring authority = address.substr(start, address.find_first_of(L"/?#", start) - start);
    std::wstring host = authority.substr(authority.rfind(L'@') == std::wstring::npos ? 0 : authority.rfind(L'@') + 1);
    if (!host.empty() && host[0] != L'[')
        host = host.substr(0, host.find(L':'));
    bool characters = true;
    for (wchar_t c : address)
        characters = characters && (c >= 0xA0 || (c < 0x80 && (iswalnum(c) || wcschr(L"-._~:/?#[]@!$&'()*+,;=%", c))));
    return start && !host.empty() && address.size() <= 2048 && characters;
}

// Web addresses, mostly, each given up to three edits: inserted pieces, random characters,
// deletions, and runs that bring it near the length limit.
std::wstring RandomAddress(std::mt19937& random)
{
    const wchar_t* seeds[] = {L"http://passport.ops.test/kolv/login", L"https://a.test/b?c=d#e", L"HTTP://HOST:8080/",
        L"http://user:pw@host.test/", L"http://[::1]:80/", L"http://x", L"file:///C:/x.exe", L"mailto:a@b.test",
        L"\\\\server\\share\\x"};
    const wchar_t* pieces[] = {L"@", L"//", L":", L"\"", L" ", L"\t", L"\\", L"[", L"\u0085", L"\u2028", L"\ufeff",
        L"https://", L"/", L"?", L"#", L"user@"};
    std::wstring address = seeds[random() % (sizeof(seeds) / sizeof(seeds[0]))];
    if (random() % 8 == 0)
        for (wchar_t& c : address)
            c = static_cast<wchar_t>(1 + random() % (random() % 2 ? 0x7F : 0xFFFF));
    for (int edits = random() % 4; edits > 0; --edits) {
        size_t at = random() % (address.size() + 1);
        switch (random() % 4) {
        case 0:
            address.insert(at, pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))]);
            break;
        case 1:
            address.insert(at, 1, static_cast<wchar_t>(1 + random() % 0xFFFF));
            break;
        case 2:
            address.erase(at, random() % 4);
            break;
        default:
            address.insert(at, random() % 8 ? 1 : 2045 - address.size() % 2045, L'a');
            break;
        }
    }
    return address;
}

} // namespace

TEST(DefaultBrowserFuzz, OnlyAbsoluteWebAddressesReachTheShell)
{
    unsigned seed = FuzzSeed();
    SCOPED_TRACE(testing::Message() << "FUZZ_SEED=" << seed);
    std::mt19937 random(seed);
    SetShellExecuteEntryPoint(RecordShellExecute);
    int accepted = 0;
    int failures = 0;
    for (int i = 0; i < fuzzCalls && failures < 10; ++i) {
        std::wstring address = RandomAddress(random);
        opened.clear();
        bool open = OpenInDefaultBrowser(address.c_str());
        accepted += open;
        bool right = open ? opened == std::vector<std::wstring>{L"open " + address} && IsAbsoluteWebAddress(address)
                          : opened.empty();
        if (!right) {
            ++failures;
            ADD_FAILURE() << (open ? "opened " : "refused ") << testing::PrintToString(address.substr(0, 100));
        }
    }
    SetShellExecuteEntryPoint(nullptr);
    EXPECT_GT(accepted, fuzzCalls / 10);
}
