#include "StandInChannel.h"

#include "ConsoleOutput.h"
#include "WindowInspector.h"

#include "../standin/ControlChannel.h"

#include <algorithm>

namespace {

const UINT_PTR TimeoutTimer = 1;

std::wstring receivedReply;
bool replied = false;

BOOL CALLBACK CollectStandIn(HWND window, LPARAM standIns)
{
    if (WindowInspector::ClassOf(window) == ControlChannel::WindowClass) {
        reinterpret_cast<std::vector<HWND>*>(standIns)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK SearchTopLevel(HWND window, LPARAM standIns)
{
    CollectStandIn(window, standIns);
    EnumChildWindows(window, CollectStandIn, standIns);
    return TRUE;
}

bool IsFocused(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == window;
}

}

std::vector<HWND> StandInChannel::FindStandIns()
{
    std::vector<HWND> standIns;
    EnumWindows(SearchTopLevel, reinterpret_cast<LPARAM>(&standIns));
    std::sort(standIns.begin(), standIns.end(),
        [](HWND a, HWND b) { return reinterpret_cast<ULONG_PTR>(a) < reinterpret_cast<ULONG_PTR>(b); });
    return standIns;
}

void StandInChannel::PrintList()
{
    std::vector<HWND> standIns = FindStandIns();
    for (size_t index = 0; index < standIns.size(); ++index) {
        HWND window = standIns[index];
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        RECT rect = {0, 0, 0, 0};
        GetWindowRect(window, &rect);
        std::wstring line = L"index=" + std::to_wstring(index);
        line += L"\thwnd=" + ConsoleOutput::Handle(window);
        line += L"\tpid=" + std::to_wstring(process);
        line += L"\thost=" + ConsoleOutput::Handle(GetAncestor(window, GA_PARENT));
        line += L"\troot=" + ConsoleOutput::Handle(GetAncestor(window, GA_ROOT));
        line += L"\tvisible=" + std::to_wstring(IsWindowVisible(window) ? 1 : 0);
        line += L"\tfocused=" + std::to_wstring(IsFocused(window) ? 1 : 0);
        line += L"\trect=" + ConsoleOutput::Rect(rect.left, rect.top, rect.right, rect.bottom);
        line += L"\turl=" + ConsoleOutput::Escape(WindowInspector::TextOf(window));
        ConsoleOutput::Line(line);
    }
}

LRESULT CALLBACK StandInChannel::ReplyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data != nullptr && data->dwData == ControlChannel::Reply) {
            receivedReply.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            replied = true;
            PostQuitMessage(0);
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_TIMER && wParam == TimeoutTimer) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool StandInChannel::Request(HWND standIn, ULONG_PTR command, const std::wstring& address, DWORD timeoutMs,
    std::wstring& reply)
{
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    info.lpfnWndProc = ReplyProc;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = ControlChannel::ReplyClass;
    RegisterClassExW(&info);
    HWND replyWindow = CreateWindowExW(0, ControlChannel::ReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
        info.hInstance, nullptr);
    if (replyWindow == nullptr) {
        ConsoleOutput::Error(L"cannot create the reply window");
        return false;
    }
    COPYDATASTRUCT data = {command, static_cast<DWORD>(address.size() * sizeof(wchar_t)),
        const_cast<wchar_t*>(address.data())};
    DWORD_PTR accepted = FALSE;
    if (!SendMessageTimeoutW(standIn, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
            reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, timeoutMs, &accepted)
        || accepted == FALSE) {
        ConsoleOutput::Error(L"the stand-in did not accept the request");
        DestroyWindow(replyWindow);
        return false;
    }
    SetTimer(replyWindow, TimeoutTimer, timeoutMs, nullptr);
    MSG message;
    while (!replied && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    DestroyWindow(replyWindow);
    if (!replied) {
        ConsoleOutput::Error(L"no answer from the stand-in within " + std::to_wstring(timeoutMs) + L" ms");
        return false;
    }
    reply = receivedReply;
    return true;
}
