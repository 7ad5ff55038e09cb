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

struct PendingReleases {
    std::vector<Deferred> releases;
    int controlCalls = 0;
    UINT_PTR timer = 0;
};

thread_local PendingReleases pending;

} // namespace

void DeferredRelease::Post(std::function<void()> release, std::function<bool()> busy)
{
    pending.releases.push_back({std::move(release), std::move(busy)});
    // A thread timer without a window: any message loop of the thread dispatches it.
    if (!pending.timer)
        pending.timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnTimer);
}

DeferredRelease::ControlCall::ControlCall()
{
    ++pending.controlCalls;
}

DeferredRelease::ControlCall::~ControlCall()
{
    --pending.controlCalls;
}

bool DeferredRelease::InControlCall()
{
    return pending.controlCalls > 0;
}

void CALLBACK DeferredRelease::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    // A callback that runs a message loop of its own is still inside a control: try again later.
    if (pending.controlCalls > 0)
        return;
    std::vector<Deferred> due;
    std::vector<Deferred> waiting;
    for (Deferred& release : pending.releases)
        (release.busy && release.busy() ? waiting : due).push_back(std::move(release));
    pending.releases.swap(waiting);
    if (pending.releases.empty()) {
        KillTimer(nullptr, timer);
        pending.timer = 0;
    }
    for (const Deferred& release : due)
        release.release();
}
