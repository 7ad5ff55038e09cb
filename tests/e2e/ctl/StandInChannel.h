#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Finds the live stand-ins of the session and sends them control requests
// over WM_COPYDATA, waiting for their answer on a message-only window.
class StandInChannel {
public:
    static std::vector<HWND> FindStandIns();
    static void PrintList();
    // Answers the stand-in's reply text; false when it was not delivered or not answered in time.
    static bool Request(HWND standIn, ULONG_PTR command, const std::wstring& address, DWORD timeoutMs,
        std::wstring& reply);

private:
    static LRESULT CALLBACK ReplyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
