// Bounds the time a navigation of a page may take.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Its timer runs only while a navigation is pending and not paused: from its start until it
// completes or fails, or until the period is over, when the handler is told once.
class NavigationWatch {
public:
    NavigationWatch(UINT periodMs, std::function<void()> onExpiry);
    ~NavigationWatch();
    NavigationWatch(const NavigationWatch&) = delete;
    NavigationWatch& operator=(const NavigationWatch&) = delete;

    // Starts the period afresh for a navigation to the address.
    void Start(const wchar_t* navigatedAddress);
    // The navigation completed or failed: nothing is pending any more.
    void Stop();
    // The period stands still from Pause to Resume, also for a navigation started meanwhile.
    void Pause();
    void Resume();
    bool IsPending() const { return pending; }
    const std::wstring& Address() const { return address; }

private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);
    // Runs the timer for what is left of the period.
    void Arm();
    void Disarm();

    UINT period;
    std::function<void()> onExpiry;
    std::wstring address;
    UINT_PTR timer;
    bool pending;
    bool paused;
    // What is left of the period, and when the timer last began to run it.
    UINT remaining;
    DWORD armedAt;
    // The next watch whose timer runs on this thread.
    NavigationWatch* nextRunning;
};
