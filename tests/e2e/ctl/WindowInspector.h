#pragma once

#include <windows.h>

#include <string>

// Prints the windows of the session, one tab-separated key=value record each.
class WindowInspector {
public:
    static void ListTopLevel(bool withChildren);
    static void PrintForeground();
    static std::wstring Describe(HWND window);
    static std::wstring ClassOf(HWND window);
    static std::wstring TextOf(HWND window);
};
