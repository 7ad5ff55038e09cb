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
#include "windows/OperatorAddresses.h"

namespace {

const int fuzzCalls = 100000;

// A new seed every run, printed first so that a crash names it too; FUZZ_SEED replays one.
unsigned FuzzSeed(const char* test)
{
    wchar_t text[16];
    DWORD length = GetEnvironmentVariableW(L"FUZZ_SEED", text, 16);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    unsigned seed = length > 0 && length < 16 ? wcstoul(text, nullptr, 10) : static_cast<unsigned>(now.QuadPart);
    std::printf("%s: FUZZ_SEED=%u\n", test, seed);
    std::fflush(stdout);
    return seed;
}

// Argument arrays end where an inaccessible page begins: one entry too far faults.
class GuardedArguments {
public:
    GuardedArguments()
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        page = system.dwPageSize;
        base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous;
        VirtualProtect(base + page, page, PAGE_NOACCESS, &previous);
    }
    ~GuardedArguments() { VirtualFree(base, 0, MEM_RELEASE); }
    GuardedArguments(const GuardedArguments&) = delete;
    GuardedArguments& operator=(const GuardedArguments&) = delete;

    VARIANT* Last(UINT count) { return reinterpret_cast<VARIANT*>(base + page) - count; }

private:
    BYTE* base = nullptr;
    DWORD page = 0;
};

// Everything a by-reference argument may point at; compared before and after each call.
struct Targets {
    VARIANT_BOOL flags[4];
    VARIANT variants[4];
    alignas(16) BYTE other[64];
};

// The callback's check: the address is the agent's empty string or one of the generated BSTRs,
// with a NUL within the bytes that BSTR holds.
class FuzzOwner : public CallbackBase {
public:
    static bool Callback(CallbackBase* owner, WebViewEvent, WebView*, const wchar_t* url)
    {
        auto* self = static_cast<FuzzOwner*>(owner);
        ++self->calls;
        if (!url)
            ++self->badUrls;
        else if (self->strings.count(url)) {
            UINT limit = SysStringByteLen(const_cast<BSTR>(url)) / sizeof(wchar_t);
            if (wcsnlen(url, limit + 1) > limit)
                ++self->badUrls;
        } else if (url[0] != L'\0')
            ++self->badUrls;
        return self->random() & 1;
    }

    std::unordered_set<const wchar_t*> strings;
    std::mt19937 random;
    int calls = 0;
    int badUrls = 0;
};

std::vector<BSTR> MakeStrings(std::mt19937& random)
{
    std::vector<BSTR> strings = {nullptr, SysAllocString(L""), SysAllocString(L"http://passport.ops.test/kolv/login"),
        SysAllocString(L"about:blank"), SysAllocString(L"javascript:void(0)"), SysAllocString(L"file:///C:/x.exe"),
        SysAllocString(L"mailto:a@b.test"), SysAllocString(L"res://ieframe.dll/dnserror.htm"),
        SysAllocStringLen(L"http://a.test/\0file:", 20), SysAllocStringByteLen("http://odd", 9),
        SysAllocStringByteLen("xyz", 3), SysAllocStringByteLen("q", 1), SysAllocStringLen(nullptr, 3000)};
    wmemset(strings.back(), L'h', 3000);
    for (int i = 0; i < 16; ++i) {
        std::wstring text(random() % 40, L' ');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(random() % 3 ? 0x20 + random() % 0x5F : random() % 0x10000);
        strings.push_back(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    }
    return strings;
}

// The published argument types, last first, of the events the agent reads.
std::vector<VARTYPE> PublishedTypes(DISPID id)
{
    const VARTYPE byRefBool = VT_BYREF | VT_BOOL;
    const VARTYPE byRefVariant = VT_BYREF | VT_VARIANT;
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        return {byRefBool, byRefVariant, byRefVariant, byRefVariant, byRefVariant, byRefVariant, VT_DISPATCH};
    case DISPID_NEWWINDOW2:
        return {byRefBool, VT_BYREF | VT_DISPATCH};
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE:
        return {byRefVariant, VT_DISPATCH};
    case DISPID_WINDOWCLOSING:
        return {byRefBool, VT_BOOL};
    case DISPID_NEWWINDOW3:
        return {VT_BSTR, VT_BSTR, VT_I4, byRefBool, VT_BYREF | VT_DISPATCH};
    default:
        return {};
    }
}

// Where an event carries its Cancel, which alone the agent may write.
bool IsCancelOf(DISPID id, UINT index)
{
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
    case DISPID_NEWWINDOW2:
    case DISPID_WINDOWCLOSING:
        return index == 0;
    case DISPID_NEWWINDOW3:
        return index == 3;
    default:
        return false;
    }
}

VARTYPE RandomType(std::mt19937& random)
{
    const VARTYPE types[] = {VT_EMPTY, VT_NULL, VT_I4, VT_BOOL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_VARIANT, VT_R8,
        VT_I8, VT_ARRAY | VT_I4};
    if (random() % 8 == 0)
        return static_cast<VARTYPE>(random());
    VARTYPE type = types[random() % (sizeof(types) / sizeof(types[0]))];
    return random() % 2 ? static_cast<VARTYPE>(type | VT_BYREF) : type;
}

// A value of the type: BSTRs from the generated ones, references null or into the targets,
// anything else random bits the agent has no business reading.
VARIANT RandomValue(std::mt19937& random, VARTYPE type, Targets& targets, const std::vector<BSTR>& strings)
{
    VARIANT value;
    std::memset(&value, 0, sizeof(value));
    value.llVal = (static_cast<LONGLONG>(random()) << 32) | random();
    value.vt = type;
    if (type == VT_BSTR)
        value.bstrVal = strings[random() % strings.size()];
    else if (type & VT_BYREF) {
        if (random() % 4 == 0)
            value.byref = nullptr;
        else if ((type & VT_TYPEMASK) == VT_BOOL)
            value.pboolVal = &targets.flags[random() % 4];
        else if ((type & VT_TYPEMASK) == VT_VARIANT)
            value.pvarVal = &targets.variants[random() % 4];
        else
            value.byref = &targets.other[8 * (random() % 7)];
    }
    return value;
}

} // namespace

TEST(WebViewEventAgentFuzz, RandomEventsNeitherFaultNorWriteButThroughTheirCancel)
{
    unsigned seed = FuzzSeed("WebViewEventAgentFuzz");
    SCOPED_TRACE(testing::Message() << "FUZZ_SEED=" << seed);
    std::mt19937 random(seed);
    auto* webView = new WebView;
    webView->eventAgent = new WebViewEventAgent(webView);
    FuzzOwner owner;
    owner.random.seed(seed);
    ASSERT_TRUE(WindManager::Instance()->SetWebViewCallback(webView, &owner, FuzzOwner::Callback));
    std::vector<BSTR> strings = MakeStrings(random);
    for (BSTR text : strings)
        owner.strings.insert(text);
    GuardedArguments guarded;
    Targets targets;
    const DISPID ids[] = {DISPID_BEFORENAVIGATE2, DISPID_NEWWINDOW2, DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE,
        DISPID_WINDOWCLOSING, DISPID_NEWWINDOW3, 0, -1, 253, 271, 274};

    int failures = 0;
    for (int call = 0; call < fuzzCalls && failures < 10; ++call) {
        DISPID id = random() % 8 ? ids[random() % (sizeof(ids) / sizeof(ids[0]))] : static_cast<DISPID>(random());
        std::vector<VARTYPE> published = PublishedTypes(id);
        UINT count = random() % 2 && !published.empty() ? static_cast<UINT>(published.size()) : random() % 9;
        for (VARIANT_BOOL& flag : targets.flags)
            flag = 0x5A5A;
        for (VARIANT& variant : targets.variants)
            variant = RandomValue(random, random() % 2 ? VARTYPE(VT_BSTR) : RandomType(random), targets, strings);
        for (BYTE& byte : targets.other)
            byte = static_cast<BYTE>(random());
        VARIANT* arguments = guarded.Last(count);
        for (UINT i = 0; i < count; ++i) {
            bool asPublished = i < published.size() && random() % 4;
            arguments[i] = RandomValue(random, asPublished ? published[i] : RandomType(random), targets, strings);
        }
        std::unordered_set<VARIANT_BOOL*> cancels;
        for (UINT i = 0; i < count; ++i)
            if (arguments[i].vt == (VT_BYREF | VT_BOOL) && arguments[i].pboolVal && IsCancelOf(id, i))
                cancels.insert(arguments[i].pboolVal);
        Targets before = targets;
        DISPPARAMS params = {random() % 16 ? arguments : nullptr, nullptr, count, 0};
        bool noParams = random() % 64 == 0;
        int callsBefore = owner.calls;

        HRESULT result = webView->eventAgent->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
            noParams ? nullptr : &params, nullptr, nullptr, nullptr);

        bool callsBack = id == DISPID_NEWWINDOW2 || id == DISPID_NAVIGATECOMPLETE2 || id == DISPID_DOCUMENTCOMPLETE
            || id == DISPID_NEWWINDOW3;
        bool ok = result == (noParams ? E_INVALIDARG : S_OK) && owner.calls - callsBefore == (callsBack && !noParams);
        ok = ok && std::memcmp(before.variants, targets.variants, sizeof(targets.variants)) == 0
            && std::memcmp(before.other, targets.other, sizeof(targets.other)) == 0;
        for (VARIANT_BOOL& flag : targets.flags) {
            bool permitted = cancels.count(&flag) && (flag == VARIANT_TRUE || flag == VARIANT_FALSE);
            ok = ok && (flag == 0x5A5A || permitted);
        }
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "call " << call << ": dispid " << id << ", " << count << " arguments, result 0x"
                          << std::hex << result << ": wrote outside its Cancel or answered wrongly";
        }
    }
    EXPECT_EQ(owner.badUrls, 0) << "addresses that were not NUL-terminated strings";
    EXPECT_GT(owner.calls, fuzzCalls / 10);
    WindManager::Instance()->DestroyWebView(webView);
    PumpMessages();
    for (BSTR text : strings)
        SysFreeString(text);
}

namespace {

std::vector<std::wstring> opened;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    opened.push_back(std::wstring(verb ? verb : L"") + L" " + (file ? file : L""));
    return reinterpret_cast<HINSTANCE>(33);
}

bool StartsWithAscii(const std::wstring& text, const wchar_t* prefix)
{
    size_t length = wcslen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? static_cast<wchar_t>(text[i] + 32) : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

// RFC 3986's characters, and beyond ASCII anything but the C1 controls.
bool IsUrlCharacter(wchar_t c)
{
    if (c >= 0xA0)
        return true;
    if (c >= 0x80 || c == L'\0')
        return false;
    return iswalnum(c) || wcschr(L"-._~:/?#[]@!$&'()*+,;=%", c);
}

// Written apart from the product's check: the scheme, a non-empty host in the authority after
// any user information and before any port, and only URL characters throughout.
bool IsAbsoluteWebAddress(const std::wstring& address)
{
    size_t start;
    if (StartsWithAscii(address, L"http://"))
        start = 7;
    else if (StartsWithAscii(address, L"https://"))
        start = 8;
    else
        return false;
    std::wstring authority = address.substr(start, address.find_first_of(L"/?#", start) - start);
    size_t at = authority.rfind(L'@');
    std::wstring host = at == std::wstring::npos ? authority : authority.substr(at + 1);
    if (!host.empty() && host[0] != L'[')
        host = host.substr(0, host.find(L':'));
    if (host.empty() || address.size() > 2048)
        return false;
    for (wchar_t c : address)
        if (!IsUrlCharacter(c))
            return false;
    return true;
}

// Printable, and shortened to its first 100 characters.
std::wstring Escaped(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text.substr(0, 100)) {
        if (c >= 0x20 && c < 0x7F) {
            escaped += c;
        } else {
            wchar_t code[8];
            swprintf(code, 8, L"\\u%04x", c);
            escaped += code;
        }
    }
    return text.size() > 100 ? escaped + L"... (" + std::to_wstring(text.size()) + L" characters)" : escaped;
}

std::wstring RandomAddress(std::mt19937& random)
{
    // Web addresses three times out of four, so that most of what reaches the check is close to one.
    const wchar_t* webSeeds[] = {OperatorAddresses::loginPage, OperatorAddresses::recharge, L"https://a.test/b?c=d#e",
        L"HTTP://HOST:8080/", L"http://user:pw@host.test/", L"http://[::1]:80/", L"http://x"};
    const wchar_t* otherSeeds[] = {L"file:///C:/x.exe", L"mailto:a@b.test", L"javascript:alert(1)",
        L"\\\\server\\share\\x", L"C:\\x.exe"};
    const wchar_t* pieces[] = {L"@", L"//", L":", L"\"", L" ", L"%00", L"\t", L"\\", L"[", L"]", L"\u0085",
        L"\u2028", L"\u00a0", L"\ufeff", L"http://", L"https://", L"/", L"?", L"#", L":80", L"user@"};
    std::wstring address;
    if (random() % 8 == 0) {
        address.resize(random() % 48);
        for (wchar_t& c : address)
            c = static_cast<wchar_t>(random() % 2 ? 1 + random() % 0x7F : 1 + random() % 0xFFFF);
    } else if (random() % 4) {
        address = webSeeds[random() % (sizeof(webSeeds) / sizeof(webSeeds[0]))];
    } else {
        address = otherSeeds[random() % (sizeof(otherSeeds) / sizeof(otherSeeds[0]))];
    }
    for (int edits = random() % 4; edits > 0; --edits) {
        size_t at = random() % (address.size() + 1);
        switch (random() % 5) {
        case 0:
            address.insert(at, pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))]);
            break;
        case 1:
            address.insert(at, 1, static_cast<wchar_t>(1 + random() % 0xFFFF));
            break;
        case 2:
            address.erase(at, random() % 4);
            break;
        case 3:
            if (at < address.size())
                address[at] = static_cast<wchar_t>(1 + random() % 0x7F);
            break;
        default:
            address.insert(at, random() % 8 ? std::wstring(1, L'a') : std::wstring(2040 - address.size() % 2040, L'a'));
            break;
        }
    }
    return address;
}

} // namespace

TEST(DefaultBrowserFuzz, OnlyAbsoluteWebAddressesReachTheShell)
{
    unsigned seed = FuzzSeed("DefaultBrowserFuzz");
    SCOPED_TRACE(testing::Message() << "FUZZ_SEED=" << seed);
    std::mt19937 random(seed);
    SetShellExecuteEntryPoint(RecordShellExecute);
    int accepted = 0;
    int failures = 0;
    for (int i = 0; i < fuzzCalls && failures < 10; ++i) {
        std::wstring address = RandomAddress(random);
        opened.clear();
        bool open = OpenInDefaultBrowser(address.c_str());
        bool right = open == IsWebAddress(address.c_str())
            && (open ? opened == std::vector<std::wstring>{L"open " + address} && IsAbsoluteWebAddress(address)
                     : opened.empty());
        accepted += open;
        if (!right) {
            ++failures;
            ADD_FAILURE() << (open ? "opened " : "refused ") << Escaped(address);
        }
    }
    SetShellExecuteEntryPoint(nullptr);
    EXPECT_GT(accepted, fuzzCalls / 10);
}
