#include "windows/DefaultBrowser.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

// Longer addresses are not web addresses a browser would accept anyway.
const size_t maxAddressLength = 2048;

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    return _wcsnicmp(text, prefix, wcslen(prefix)) == 0;
}

// Characters a URL may carry unencoded. Quotes, blanks and controls could break out of the
// browser's command line.
bool IsUrlCharacter(wchar_t c)
{
    if (c >= 0x80)
        return true;
    if (c <= 0x20 || c == 0x7F)
        return false;
    return !wcschr(L"\"<>\\^`{|}", c);
}

} // namespace

bool IsWebAddress(const wchar_t* address)
{
    if (!address)
        return false;
    size_t length = wcsnlen(address, maxAddressLength + 1);
    if (length > maxAddressLength)
        return false;

    const wchar_t* rest;
    if (StartsWithNoCase(address, L"http://"))
        rest = address + 7;
    else if (StartsWithNoCase(address, L"https://"))
        rest = address + 8;
    else
        return false;
    // A host must follow the scheme.
    if (*rest == L'\0' || wcschr(L"/?#@:", *rest))
        return false;
    for (const wchar_t* c = address; *c; ++c)
        if (!IsUrlCharacter(*c))
            return false;
    return true;
}

bool OpenInDefaultBrowser(const wchar_t* address)
{
    if (!IsWebAddress(address))
        return false;
    ShellExecuteW(nullptr, L"open", address, L"", nullptr, SW_SHOWNORMAL);
    return true;
}
