#pragma once

#include <windows.h>
#include <unknwn.h>

// Lets go of a control only once no call made by a control into this system is running on
// the thread: a callback may destroy the web view whose control is raising the event, and
// that control must outlive its own call. The release runs from the thread's message loop.
class DeferredRelease {
public:
    // Takes over the caller's reference. OLE stays initialised on the thread until the release,
    // so the control's module stays loaded while host windows come and go.
    static void Post(IUnknown* object);

    // Brackets a call from a control (an event) into this system; calls nest.
    static void EnterControlCall();
    static void LeaveControlCall();
    static bool InControlCall();

private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);
};
