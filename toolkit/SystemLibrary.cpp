// Loads the system's DLLs from the system's folder only.
#include "toolkit/SystemLibrary.h"

#include <string>

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD);

// Not among the system's known DLLs everywhere, so not imported by the loader: loaded at the
// first call by name (cmake/DelayImports.cmake names the same).
const wchar_t* const delayLoaded[] = {L"gdiplus.dll", L"urlmon.dll"};

} // namespace

void SystemLibrary::RestrictSearchPath()
{
    // Windows 8 on, and Windows 7 with its update KB2533623: looked up by name.
    auto setDefaultDirectories =
        Find<SetDefaultDllDirectoriesProc>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    // A DLL loaded by its full path (an input method, an overlay) also finds its own dependencies
    // beside itself, as it expects; nothing is loaded from the launcher's folder by full path.
    // Where the system takes the system's folder only, that is the setting.
    bool restricted = setDefaultDirectories
        && (setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR)
            || setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Without it, the current folder at least leaves the search; the launcher's own folder stays
    // first, and the known DLLs and those loaded here are safe from it.
    if (!restricted)
        SetDllDirectoryW(L"");
    // Where the system lacks it, a load by name finds the module already loaded under that name.
    for (const wchar_t* name : delayLoaded)
        Load(name);
}

HMODULE SystemLibrary::Load(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path = std::wstring(folder, length) + L"\\" + name;
    // The DLL's own dependencies are looked for in its folder first, not beside the launcher.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
