// The navigation policy of the page: schemes, moves within the page, failing statuses.
#include "webview/NavigationPolicy.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>

namespace {

// The control's own error pages (res:) are refused as well: its documentation leaves them to
// NavigateError, raised before it shows one, and a res: address can name any module on the
// machine, whose pages would open in the local machine zone. For a failure of the page itself
// NavigateError refuses them first.
const std::initializer_list<const wchar_t*> webSchemes = {L"http", L"https", L"about", L"javascript"};
const std::initializer_list<const wchar_t*> loadingSchemes = {L"http", L"https"};

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// A letter of another script that folds to one of these is another scheme.
bool HasSchemeOf(const wchar_t* address, std::initializer_list<const wchar_t*> schemes)
{
    const wchar_t* colon = wcschr(address, L':');
    if (!colon)
        return false;
    size_t length = static_cast<size_t>(colon - address);
    for (const wchar_t* scheme : schemes) {
        if (wcslen(scheme) != length)
            continue;
        size_t same = 0;
        while (same < length && AsciiLower(address[same]) == scheme[same])
            ++same;
        if (same == length)
            return true;
    }
    return false;
}

} // namespace

bool MayNavigate(const wchar_t* address)
{
    return HasSchemeOf(address, webSchemes);
}

bool LoadsDocument(const wchar_t* address)
{
    return HasSchemeOf(address, loadingSchemes);
}

bool WithinPage(const wchar_t* address, const std::wstring& page)
{
    const wchar_t* fragment = wcschr(address, L'#');
    if (!fragment || page.empty())
        return false;
    size_t length = static_cast<size_t>(fragment - address);
    return length == std::min(page.find(L'#'), page.size()) && page.compare(0, length, address, length) == 0;
}

bool IsFailure(long status)
{
    return status < 0 || status >= 400;
}
