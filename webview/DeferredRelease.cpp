// Counts the calls running between the control and this system, and releases what waited for them.
#include "webview/DeferredRelease.h"

#include <windows.h>

#include <vector>

namespace {

struct Deferred {
    std::function<void()> release;
    // While this answers true, the release waits.
    std::function<bool()> busy;
};

// Per thread, and each trivially destroyed: a statically linked MinGW run-time may free a
// thread's storage before it runs the destructors of its thread_local objects, so no such object
// has one. The list lives only while releases wait.
thread_local std::vector<Deferred>* pending = nullptr;
thread_local int controlCalls = 0;
thread_local UINT_PTR releaseTimer = 0;

} // namespace

void DeferredRelease::Post(std::function<void()> release, std::function<bool()> busy)
{
    if (!pending)
        pending = new std::vector<Deferred>();
    pending->push_back({std::move(release), std::move(busy)});
    // A thread timer without a window: any message loop of the thread dispatches it.
    if (!releaseTimer)
        releaseTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnTimer);
}

DeferredRelease::ControlCall::ControlCall()
{
    ++controlCalls;
}

DeferredRelease::ControlCall::~ControlCall()
{
    --controlCalls;
}

bool DeferredRelease::InControlCall()
{
    return controlCalls > 0;
}

void CALLBACK DeferredRelease::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    // A callback that runs a message loop of its own is still inside a control: try again later.
    if (controlCalls > 0 || !pending)
        return;
    std::vector<Deferred> due;
    std::vector<Deferred> waiting;
    for (Deferred& release : *pending)
        (release.busy && release.busy() ? waiting : due).push_back(std::move(release));
    if (waiting.empty()) {
        delete pending;
        pending = nullptr;
        KillTimer(nullptr, timer);
        releaseTimer = 0;
    } else {
        pending->swap(waiting);
    }
    // A release may post another.
    for (const Deferred& release : due)
        release.release();
}
