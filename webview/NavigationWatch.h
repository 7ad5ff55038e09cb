#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Bounds the time a navigation of a page may take. Its timer runs only while a navigation is
// pending: from its start until it completes or fails, or until the period is over, when the
// handler is told once.
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
    bool IsPending() const { return timer != 0; }
    const std::wstring& Address() const { return address; }

private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);

    UINT period;
    std::function<void()> onExpiry;
    std::wstring address;
    UINT_PTR timer;
};
