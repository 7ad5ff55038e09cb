#pragma once

#include <windows.h>

#include <string>

class StandInBrowser;

// The stand-in's child window: paints the address it shows, takes the focus
// when clicked, receives the control channel's requests, and raises queued
// events from the host's message dispatch.
class StandInWindow {
public:
    static const UINT RaiseEventMessage = WM_APP + 0x51;

    explicit StandInWindow(StandInBrowser& owner);
    ~StandInWindow();

    bool Create(HWND parent, const RECT& position);
    void Destroy();
    HWND Handle() const;
    void Move(const RECT& position);
    void ShowAddress(const std::wstring& address);
    void PostRaiseEvent();
    // Queues the held-back DocumentComplete of a slow page after the delay.
    void StartSlowDocument(UINT delayMs);
    static void UnregisterWindowClass();
    // The page's text field, its upper half, has the focus: the last click was there.
    bool InTextField() const { return inTextField; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleCopyData(HWND replyWindow, const COPYDATASTRUCT* data);
    void Paint();

    StandInBrowser& owner;
    HWND handle;
    bool focused;
    bool inTextField;
};
