// Planted beside a copy of launcher.exe under the name of a system DLL, it records that it was
// loaded by creating a file named after itself with ".loaded" added. It exports nothing.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    const wchar_t suffix[] = L".loaded";
    wchar_t path[MAX_PATH + sizeof(suffix) / sizeof(suffix[0])];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    wcscpy(path + length, suffix);
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    return TRUE;
}
