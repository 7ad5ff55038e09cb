#include "webview/DeferredRelease.h"

#include <ole2.h>

#include <vector>

namespace {

struct PendingReleases {
    std::vector<IUnknown*> objects;
    int oleInitializations = 0;
    int controlCalls = 0;
    UINT_PTR timer = 0;
};

thread_local PendingReleases pending;

} // namespace

void DeferredRelease::Post(IUnknown* object)
{
    if (!object)
        return;
    if (SUCCEEDED(OleInitialize(nullptr)))
        ++pending.oleInitializations;
    pending.objects.push_back(object);
    // A thread timer without a window: any message loop of the thread dispatches it.
    if (!pending.timer)
        pending.timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnTimer);
}

void DeferredRelease::EnterControlCall()
{
    ++pending.controlCalls;
}

void DeferredRelease::LeaveControlCall()
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
    std::vector<IUnknown*> objects;
    objects.swap(pending.objects);
    int oleInitializations = pending.oleInitializations;
    pending.oleInitializations = 0;
    for (IUnknown* object : objects)
        object->Release();
    while (oleInitializations-- > 0)
        OleUninitialize();
}
