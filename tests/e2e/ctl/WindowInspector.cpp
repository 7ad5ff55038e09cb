#include "WindowInspector.h"

#include "ConsoleOutput.h"

#include <vector>

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

HWND ParentOf(HWND window)
{
    HWND parent = GetAncestor(window, GA_PARENT);
    return parent == GetDesktopWindow() ? nullptr : parent;
}

}

std::wstring WindowInspector::ClassOf(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowInspector::TextOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(length + 2, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    return text.data();
}

std::wstring WindowInspector::Describe(HWND window)
{
    DWORD process = 0;
    DWORD thread = GetWindowThreadProcessId(window, &process);
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::wstring line = L"hwnd=" + ConsoleOutput::Handle(window);
    line += L"\tpid=" + std::to_wstring(process);
    line += L"\ttid=" + std::to_wstring(thread);
    line += L"\tclass=" + ConsoleOutput::Escape(ClassOf(window));
    line += L"\tvisible=" + std::to_wstring(IsWindowVisible(window) ? 1 : 0);
    line += L"\tminimized=" + std::to_wstring(IsIconic(window) ? 1 : 0);
    line += L"\tmaximized=" + std::to_wstring(IsZoomed(window) ? 1 : 0);
    line += L"\trect=" + ConsoleOutput::Rect(rect.left, rect.top, rect.right, rect.bottom);
    line += L"\tclient=" + ConsoleOutput::Rect(client.left, client.top, client.right, client.bottom);
    line += L"\towner=" + ConsoleOutput::Handle(GetWindow(window, GW_OWNER));
    line += L"\tparent=" + ConsoleOutput::Handle(ParentOf(window));
    line += L"\tstyle=" + ConsoleOutput::Hex(static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    line += L"\texstyle=" + ConsoleOutput::Hex(static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)));
    line += L"\ttext=" + ConsoleOutput::Escape(TextOf(window));
    return line;
}

void WindowInspector::ListTopLevel(bool withChildren)
{
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        ConsoleOutput::Line(Describe(window));
        if (withChildren) {
            std::vector<HWND> children;
            EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
            for (HWND child : children) {
                ConsoleOutput::Line(Describe(child));
            }
        }
    }
}

void WindowInspector::PrintForeground()
{
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    DWORD thread = foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (thread == 0 || !GetGUIThreadInfo(thread, &info)) {
        info = GUITHREADINFO{};
    }
    std::wstring line = L"hwnd=" + ConsoleOutput::Handle(foreground);
    line += L"\tclass=" + ConsoleOutput::Escape(foreground != nullptr ? ClassOf(foreground) : std::wstring());
    line += L"\tactive=" + ConsoleOutput::Handle(info.hwndActive);
    line += L"\tfocus=" + ConsoleOutput::Handle(info.hwndFocus);
    line += L"\tfocusclass=" + ConsoleOutput::Escape(info.hwndFocus != nullptr ? ClassOf(info.hwndFocus) : std::wstring());
    line += L"\tcapture=" + ConsoleOutput::Handle(info.hwndCapture);
    line += L"\ttext=" + ConsoleOutput::Escape(foreground != nullptr ? TextOf(foreground) : std::wstring());
    ConsoleOutput::Line(line);
}
