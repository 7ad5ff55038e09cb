#include "webview/DeferredRelease.h"

#include <windows.h>

#include <vector>

namespace {

struct PendingReleases {
    std::vector<std::function<void()>> releases;
    int controlCalls = 0;
    UINT_PTR timer = 0;
};

thread_local PendingReleases pending;

} // namespace

void DeferredRelease::Post(std::function<void()> release)
{
    pending.releases.push_back(std::move(release));
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
    KillTimer(nullptr, timer);
    pending.timer = 0;
    std::vector<std::function<void()>> releases;
    releases.swap(pending.releases);
    for (const std::function<void()>& release : releases)
        release();
}
