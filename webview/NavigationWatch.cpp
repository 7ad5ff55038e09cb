// The timer of the watched navigation, paused while the control's modal UI is up.
#include "webview/NavigationWatch.h"

#include <algorithm>

namespace {

// The first of the watches whose timer runs on this thread, a list through their nextRunning: a
// thread timer names only its own identifier. A pointer, whose thread_local needs no destructor:
// a statically linked MinGW run-time may free a thread's storage before it runs those.
thread_local NavigationWatch* firstRunning = nullptr;

} // namespace

NavigationWatch::NavigationWatch(UINT periodMs, std::function<void()> expiry)
    : period(periodMs)
    , onExpiry(std::move(expiry))
    , timer(0)
    , pending(false)
    , paused(false)
    , remaining(0)
    , armedAt(0)
    , nextRunning(nullptr)
{
}

NavigationWatch::~NavigationWatch()
{
    Stop();
}

void NavigationWatch::Start(const wchar_t* navigatedAddress)
{
    Stop();
    address = navigatedAddress ? navigatedAddress : L"";
    pending = true;
    remaining = period;
    if (!paused)
        Arm();
}

void NavigationWatch::Stop()
{
    Disarm();
    pending = false;
}

void NavigationWatch::Pause()
{
    if (paused)
        return;
    paused = true;
    if (!timer)
        return;
    remaining -= std::min<DWORD>(GetTickCount() - armedAt, remaining);
    Disarm();
}

void NavigationWatch::Resume()
{
    if (!paused)
        return;
    paused = false;
    if (pending)
        Arm();
}

void NavigationWatch::Arm()
{
    armedAt = GetTickCount();
    // A thread timer without a window: any message loop of the thread dispatches it.
    timer = SetTimer(nullptr, 0, remaining, OnTimer);
    if (timer) {
        nextRunning = firstRunning;
        firstRunning = this;
    } else {
        pending = false;
    }
}

void NavigationWatch::Disarm()
{
    if (!timer)
        return;
    KillTimer(nullptr, timer);
    timer = 0;
    for (NavigationWatch** link = &firstRunning; *link; link = &(*link)->nextRunning) {
        if (*link == this) {
            *link = nextRunning;
            break;
        }
    }
    nextRunning = nullptr;
}

void CALLBACK NavigationWatch::OnTimer(HWND, UINT, UINT_PTR expired, DWORD)
{
    NavigationWatch* watch = firstRunning;
    while (watch && watch->timer != expired)
        watch = watch->nextRunning;
    if (!watch) {
        KillTimer(nullptr, expired);
        return;
    }
    watch->Stop();
    // The handler may start the next navigation, or end the watch's owner.
    std::function<void()> expiry = watch->onExpiry;
    expiry();
}
