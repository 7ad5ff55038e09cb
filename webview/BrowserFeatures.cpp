// Sets the feature controls for the process and the launcher's registry values.
#include "webview/BrowserFeatures.h"

#include <windows.h>
#include <urlmon.h>

#include <string>

namespace {

const wchar_t featureControlKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\";

// The pages come over plain HTTP, so anyone on the way may change them. Left off on purpose:
// FEATURE_WEBOC_POPUPMANAGEMENT, which would block the pop-ups the launcher hands to the
// default browser, and FEATURE_SECURITYBAND, whose bar offers to allow what was blocked.
const INTERNETFEATURELIST enabledFeatures[] = {
    // A page cannot offer to install an ActiveX control, nor start a download, unless the
    // player clicked for it.
    FEATURE_RESTRICT_ACTIVEXINSTALL,
    FEATURE_RESTRICT_FILEDOWNLOAD,
    // A page cannot take the player, unasked, into a zone trusted more than its own: the local
    // machine or the intranet.
    FEATURE_ZONE_ELEVATION,
    // A file's type is checked against its content: what is served as text or as an image is
    // not promoted to a type that runs.
    FEATURE_MIME_SNIFFING,
    // A download whose name, served type and content disagree is renamed and kept in the cache
    // instead of being opened by the program its name points to.
    FEATURE_MIME_HANDLING,
    // Windows that a script opens cannot be placed off the screen or over the launcher's own,
    // nor hide their caption and status bar, to pass for something else.
    FEATURE_WINDOW_RESTRICTIONS,
    // Script cannot ask for text in a dialog box (window.prompt), which would look like the
    // launcher's or the system's.
    FEATURE_BLOCK_INPUT_PROMPTS,
    // The game's pages navigate all the time; a click sound for each would be noise.
    FEATURE_DISABLE_NAVIGATION_SOUNDS,
    // Objects that a page of one domain made and the control cached are out of reach of the
    // pages of another domain.
    FEATURE_OBJECT_CACHING,
    // Content from the player's own disk runs locked down: a page that gets a file saved and
    // opened gains no right to run script or controls.
    FEATURE_LOCALMACHINE_LOCKDOWN,
    // A file on a network share counts as coming from the network, not from the local machine.
    FEATURE_UNC_SAVEDFILECHECK,
    // Protocols locked down for a zone stay out of reach of that zone's pages.
    FEATURE_PROTOCOL_LOCKDOWN,
    // Controls that bind to an object by its address get the additional safety checks.
    FEATURE_SAFE_BINDTOOBJECT,
    // Malformed addresses are refused instead of being guessed at.
    FEATURE_VALIDATE_NAVIGATE_URL,
    // An address with a user name and password in it (http://operator@elsewhere/) is invalid:
    // it disguises where a link leads.
    FEATURE_HTTP_USERNAME_PASSWORD_DISABLE,
    // The legacy mk: protocol, which opens pages inside help files, and telnet:, which starts a
    // program, are off.
    FEATURE_DISABLE_MK_PROTOCOL,
    FEATURE_DISABLE_TELNET_PROTOCOL,
    // A certificate error is shown as a page of the control, not as a dialog box in front of
    // the launcher's windows.
    FEATURE_SSLUX,
};

bool enabled = false;

// The launcher's own file name, under which the control looks its feature values up: that of the
// running module, so that a renamed copy gets them too.
std::wstring ModuleFileName()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring name(path, length);
    return name.substr(name.find_last_of(L"\\/") + 1);
}

// Written only when missing or different; without it the control keeps its default.
void SetFeatureValue(const wchar_t* feature, const std::wstring& name, DWORD value)
{
    std::wstring key = std::wstring(featureControlKey) + feature;
    DWORD current = 0;
    DWORD size = sizeof(current);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &current, &size)
            == ERROR_SUCCESS
        && current == value)
        return;
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr)
        != ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
}

void RemoveFeatureValue(const wchar_t* feature, const std::wstring& name)
{
    std::wstring key = std::wstring(featureControlKey) + feature;
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

// The control reads these from the registry only, as it is created.
void SetRenderingFeatures()
{
    std::wstring name = ModuleFileName();
    if (name.empty())
        return;
    // A hosted control draws in software unless its host asks for the GPU: a canvas or WebGL
    // game runs at a fraction of its frame rate.
    SetFeatureValue(L"FEATURE_GPU_RENDERING", name, 1);
    // Without it every page is shown in the legacy mode of old versions, without canvas or
    // today's CSS and script; 0 leaves the control its default.
    const DWORD emulation = LAUNCHER_BROWSER_EMULATION;
    if (emulation)
        SetFeatureValue(L"FEATURE_BROWSER_EMULATION", name, emulation);
    else
        RemoveFeatureValue(L"FEATURE_BROWSER_EMULATION", name);
}

} // namespace

void BrowserFeatures::EnableOnce()
{
    if (enabled)
        return;
    enabled = true;
    SetRenderingFeatures();
    for (INTERNETFEATURELIST feature : enabledFeatures)
        CoInternetSetFeatureEnabled(feature, SET_FEATURE_ON_PROCESS, TRUE);
}
