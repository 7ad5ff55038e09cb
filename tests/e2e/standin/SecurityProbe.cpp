#include "SecurityProbe.h"

#include <urlmon.h>

#include <cwchar>

namespace {

typedef HRESULT(WINAPI* IsFeatureEnabledProc)(INTERNETFEATURELIST, DWORD);

std::wstring Hex(DWORD value)
{
    wchar_t text[16];
    _snwprintf(text, 16, L"0x%08lx", value);
    text[15] = L'\0';
    return text;
}

}

std::wstring SecurityProbe::Run(IOleClientSite* site, const std::wstring& address, const std::wstring& actions)
{
    // urlmon is loaded only when asked for: the host's own start-up, which the benchmarks time,
    // must not find it loaded by the stand-in.
    std::wstring report = L"features=";
    HMODULE urlmon = LoadLibraryW(L"urlmon.dll");
    auto isEnabled = reinterpret_cast<IsFeatureEnabledProc>(
        reinterpret_cast<void*>(GetProcAddress(urlmon, "CoInternetIsFeatureEnabled")));
    for (int feature = 0; isEnabled != nullptr && feature < FEATURE_ENTRY_COUNT; ++feature) {
        if (isEnabled(static_cast<INTERNETFEATURELIST>(feature), GET_FEATURE_FROM_PROCESS) == S_OK) {
            report += (report.back() == L'=' ? L"" : L",") + std::to_wstring(feature);
        }
    }
    FreeLibrary(urlmon);

    IServiceProvider* services = nullptr;
    IInternetSecurityManager* security = nullptr;
    HRESULT found = site != nullptr ? site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))
                                    : E_NOINTERFACE;
    if (SUCCEEDED(found)) {
        found = services->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager,
            reinterpret_cast<void**>(&security));
        services->Release();
    }
    report += L"\tservice=" + Hex(static_cast<DWORD>(found));
    for (const wchar_t* cursor = actions.c_str(); security != nullptr && *cursor != L'\0';) {
        wchar_t* end = nullptr;
        DWORD action = wcstoul(cursor, &end, 16);
        if (end == cursor) {
            break;
        }
        const DWORD unwritten = 0xFFFFFFFF;
        DWORD policy = unwritten;
        HRESULT answer = security->ProcessUrlAction(address.c_str(), action, reinterpret_cast<BYTE*>(&policy),
            sizeof(policy), nullptr, 0, PUAF_NOUI, 0);
        report += L"\t" + std::wstring(cursor, static_cast<size_t>(end - cursor)) + L"=" + Hex(static_cast<DWORD>(answer)) + L"/"
            + (policy == unwritten ? std::wstring(L"none") : Hex(policy));
        cursor = *end == L',' ? end + 1 : end;
    }
    if (security != nullptr) {
        security->Release();
    }
    return report;
}
