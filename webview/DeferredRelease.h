// Lets go of a control only once no call between it and this system is running.
#pragma once

#include <windows.h>

#include <functional>

// Per thread: a callback may destroy the web view whose control is raising the event, and that
// control must outlive its own call. The release runs from the thread's message loop.
class DeferredRelease {
public:
    // Runs the release from the message loop once no control call is open and, when given,
    // busy answers false: a control's own modal UI runs a message loop inside the control.
    static void Post(std::function<void()> release, std::function<bool()> busy = nullptr);

    // Marks a call between a control and this system (an event, or a call into the control)
    // for as long as it lives; calls nest.
    class ControlCall {
    public:
        ControlCall();
        ~ControlCall();
        ControlCall(const ControlCall&) = delete;
        ControlCall& operator=(const ControlCall&) = delete;
    };

    static bool InControlCall();

private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);
};
