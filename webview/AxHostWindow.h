// The host window classes, each window holding one control.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>

class AxHost;

// Registers the host window classes "AtlAxWin80" and "AtlAxWinLic80" (each only when it is not
// registered yet) and the messages "WM_ATLGETHOST" and "WM_ATLGETCONTROL". True when all are there.
bool AtlAxWinInit();

// Creates the control of the ProgID in the host window, in place over its client area.
HRESULT AxCreateControl(HWND hostWindow, const wchar_t* progId);
// Queries the control of the host window for an interface; the caller owns the reference.
HRESULT AxQueryControl(HWND hostWindow, REFIID iid, void** object);
// Whether the control of the host window shows its modal UI (AxHost::EnableModeless).
bool AxInModalUi(HWND hostWindow);
// Tells the listener as the control's modal UI begins (true) and ends (false).
void AxListenToModalUi(HWND hostWindow, std::function<void(bool)> listener);

// One window of the host classes. It keeps OLE initialised on its thread for as long as it
// exists and holds a host object, which holds the control.
class AxHostWindow {
public:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit AxHostWindow(HWND window);
    AxHostWindow(const AxHostWindow&) = delete;
    AxHostWindow& operator=(const AxHostWindow&) = delete;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window;
    AxHost* host;
    bool oleInitialized;
};
