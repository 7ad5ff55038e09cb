// The gate between the launcher and the player's default browser.
#pragma once

#include <windows.h>

// Only absolute http and https addresses may leave the launcher: handed to the shell, a file
// path, a share or another protocol's address would start a program on the player's machine.
bool IsWebAddress(const wchar_t* address);

// Opens a web address in the player's default browser; anything else is refused.
bool OpenInDefaultBrowser(const wchar_t* address);

typedef HINSTANCE(WINAPI* ShellExecuteProc)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
// Tests watch what reaches the shell through this; null restores ShellExecuteW.
void SetShellExecuteEntryPoint(ShellExecuteProc entryPoint);
