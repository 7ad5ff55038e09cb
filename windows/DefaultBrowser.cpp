// Hands web addresses to the default browser, refusing anything but http and https.
#include "windows/DefaultBrowser.h"

#include <shellapi.h>

#include <cwchar>

namespace {

// Longer addresses are not web addresses a browser would accept anyway.
const size_t maxAddressLength = 2048;

ShellExecuteProc shellExecute = ShellExecuteW;

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    return _wcsnicmp(text, prefix, wcslen(prefix)) == 0;
}

// Characters a URL may carry unencoded. Quotes, blanks and controls, C1 controls among them,
// could break out of the browser's command line.
bool IsUrlCharacter(wchar_t c)
{
    if (c >= 0xA0)
        return true;
    if (c <= 0x20 || c >= 0x7F)
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
    // A host must follow the scheme, and be left after any user name.
    if (*rest == L'\0' || wcschr(L"/?#@:", *rest))
        return false;
    const wchar_t* authorityEnd = rest + wcscspn(rest, L"/?#");
    const wchar_t* host = rest;
    for (const wchar_t* c = rest; c < authorityEnd; ++c)
        if (*c == L'@')
            host = c + 1;
    if (host == authorityEnd || *host == L':')
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
    shellExecute(nullptr, L"open", address, L"", nullptr, SW_SHOWNORMAL);
    return true;
}

void SetShellExecuteEntryPoint(ShellExecuteProc entryPoint)
{
    shellExecute = entryPoint ? entryPoint : ShellExecuteW;
}
