// The timer of the watched navigation, paused while the control's modal UI is up.
#include "webview/NavigationWatch.h"

#include <algorithm>
#include <vector>

namespace {

// The watches whose timer runs on this thread: a thread timer names only its own identifier.
thread_local std::vector<NavigationWatch*> running;

} // namespace

NavigationWatch::NavigationWatch(UINT periodMs, std::function<void()> expiry)
    : period(periodMs)
    , onExpiry(std::move(expiry))
    , timer(0)
    , pending(false)
    , paused(false)
    , remaining(0)
    , armedAt(0)
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
    if (timer)
        running.push_back(this);
    else
        pending = false;
}

void NavigationWatch::Disarm()
{
    if (!timer)
        return;
    KillTimer(nullptr, timer);
    timer = 0;
    running.erase(std::remove(running.begin(), running.end(), this), running.end());
}

void CALLBACK NavigationWatch::OnTimer(HWND, UINT, UINT_PTR expired, DWORD)
{
    auto found = std::find_if(running.begin(), running.end(), [expired](NavigationWatch* watch) {
        return watch->timer == expired;
    });
    if (found == running.end()) {
        KillTimer(nullptr, expired);
        return;
    }
    NavigationWatch* watch = *found;
    watch->Stop();
    // The handler may start the next navigation, or end the watch's owner.
    std::function<void()> expiry = watch->onExpiry;
    expiry();
}
