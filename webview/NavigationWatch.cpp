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
    // A thread timer without a window: any message loop of the thread dispatches it.
    timer = SetTimer(nullptr, 0, period, OnTimer);
    if (timer)
        running.push_back(this);
}

void NavigationWatch::Stop()
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
