#include "StandInSettings.h"

#include <cwchar>
#include <string>

namespace {

std::wstring Setting(const wchar_t* name)
{
    wchar_t value[256];
    DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length > 0 && length < 256 ? std::wstring(value, length) : std::wstring();
}

}

UINT StandInSettings::DialogCode()
{
    return Setting(L"STANDIN_DLGCODE") == L"none" ? 0 : DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
}

bool StandInSettings::Stalls(const std::wstring& address)
{
    std::wstring text = Setting(L"STANDIN_STALL");
    return !text.empty() && address.find(text) != std::wstring::npos;
}

bool StandInSettings::LoadsSlowly(const std::wstring& address)
{
    std::wstring text = Setting(L"STANDIN_SLOW");
    return !text.empty() && address.find(text) != std::wstring::npos;
}

UINT StandInSettings::SlowDocumentMs()
{
    std::wstring text = Setting(L"STANDIN_SLOW_MS");
    return text.empty() ? 45000 : static_cast<UINT>(wcstoul(text.c_str(), nullptr, 10));
}

bool StandInSettings::Downloads(const std::wstring& address)
{
    std::wstring text = Setting(L"STANDIN_DOWNLOAD");
    return !text.empty() && address.find(text) != std::wstring::npos;
}

bool StandInSettings::HandlesAccelerator(WPARAM key)
{
    std::wstring keys = Setting(L"STANDIN_ACCELERATORS");
    const wchar_t* cursor = keys.c_str();
    while (*cursor != L'\0') {
        wchar_t* end = nullptr;
        unsigned long listed = wcstoul(cursor, &end, 16);
        if (end == cursor) {
            return false;
        }
        if (listed == key) {
            return true;
        }
        cursor = *end == L',' ? end + 1 : end;
    }
    return false;
}
