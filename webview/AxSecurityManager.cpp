// The host's answers to the URL actions a page asks for.
#include "webview/AxSecurityManager.h"

#include <cstring>

namespace {

// The actions by which a page could run or install code, or start a program, on the player's
// machine. Every other one, script, forms, cookies and pop-ups among them, keeps the policy of
// the page's zone.
bool IsRefused(DWORD action)
{
    // Downloading ActiveX controls, signed or not.
    if (action >= URLACTION_DOWNLOAD_MIN && action <= URLACTION_DOWNLOAD_MAX)
        return true;
    // Java at any permission level: URLPOLICY_DISALLOW leaves the Java bits of a policy at
    // URLPOLICY_JAVA_PROHIBIT.
    if (action >= URLACTION_JAVA_MIN && action <= URLACTION_JAVA_MAX)
        return true;
    switch (action) {
    // Running ActiveX controls and plug-ins, initialising and scripting those not marked safe,
    // and scriptlets.
    case URLACTION_ACTIVEX_RUN:
    case URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY:
    case URLACTION_ACTIVEX_OVERRIDE_DATA_SAFETY:
    case URLACTION_ACTIVEX_OVERRIDE_SCRIPT_SAFETY:
    case URLACTION_SCRIPT_OVERRIDE_SAFETY:
    case URLACTION_ACTIVEX_CONFIRM_NOOBJECTSAFETY:
    case URLACTION_ACTIVEX_SCRIPTLET_RUN:
    // Java applets from the page and from its script.
    case URLACTION_HTML_JAVA_RUN:
    case URLACTION_SCRIPT_JAVA_USE:
    // .NET controls and browser applications, and installing the framework they need.
    case URLACTION_DOTNET_USERCONTROLS:
    case URLACTION_WINDOWS_BROWSER_APPLICATIONS:
    case URLACTION_WINFX_SETUP:
    // File downloads, files dragged or copied out of the page, desktop items, shell verbs,
    // programs started through the shell at every risk level, and objects embedded in RTF.
    case URLACTION_SHELL_FILE_DOWNLOAD:
    case URLACTION_SHELL_MOVE_OR_COPY:
    case URLACTION_SHELL_INSTALL_DTITEMS:
    case URLACTION_SHELL_VERB:
    case URLACTION_SHELL_WEBVIEW_VERB:
    case URLACTION_SHELL_EXECUTE_HIGHRISK:
    case URLACTION_SHELL_EXECUTE_MODRISK:
    case URLACTION_SHELL_EXECUTE_LOWRISK:
    case URLACTION_SHELL_RTF_OBJECTS_LOAD:
        return true;
    default:
        return false;
    }
}

} // namespace

AxSecurityManager::AxSecurityManager(IUnknown* outer)
    : AxHostPart(outer)
{
}

STDMETHODIMP AxSecurityManager::SetSecuritySite(IInternetSecurityMgrSite*)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::GetSecuritySite(IInternetSecurityMgrSite** site)
{
    if (site)
        *site = nullptr;
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::MapUrlToZone(LPCWSTR, DWORD*, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::ProcessUrlAction(LPCWSTR, DWORD action, BYTE* policy, DWORD policySize, BYTE*,
    DWORD, DWORD, DWORD)
{
    if (!IsRefused(action))
        return INET_E_DEFAULT_ACTION;
    // The buffer need not be aligned. S_FALSE: a policy was found, and it is not URLPOLICY_ALLOW.
    if (policy && policySize >= sizeof(DWORD)) {
        DWORD disallow = URLPOLICY_DISALLOW;
        std::memcpy(policy, &disallow, sizeof(disallow));
    }
    return S_FALSE;
}

STDMETHODIMP AxSecurityManager::QueryCustomPolicy(LPCWSTR, REFGUID, BYTE** policy, DWORD* policySize, BYTE*, DWORD,
    DWORD)
{
    if (policy)
        *policy = nullptr;
    if (policySize)
        *policySize = 0;
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::SetZoneMapping(DWORD, LPCWSTR, DWORD)
{
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP AxSecurityManager::GetZoneMappings(DWORD, IEnumString** mappings, DWORD)
{
    if (mappings)
        *mappings = nullptr;
    return INET_E_DEFAULT_ACTION;
}
