#include "bench/LaunchCycles.h"

#include <psapi.h>

#include <optional>

#include "toolkit/OleApartment.h"
#include "webview/WebViewCallback.h"
#include "windows/GameWind.h"
#include "windows/LoginWind.h"

namespace {

const wchar_t gameAddress[] = L"http://s1.kolv.ops.test/login.php?uid=7&key=abc";
// Timer messages come only when the queue is empty, so the page's own events go first.
const UINT playerDelay = USER_TIMER_MINIMUM;

} // namespace

LoginWind* LaunchCycles::login = nullptr;
HWND LaunchCycles::game = nullptr;

double LaunchCycles::ResidentKiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

void CALLBACK LaunchCycles::ReachGameServer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    login->OnWebViewEvent(NavigateComplete, nullptr, gameAddress);
}

void CALLBACK LaunchCycles::CloseGame(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    PostMessageW(game, WM_CLOSE, 0, 0);
}

std::vector<double> LaunchCycles::Run(int cycles)
{
    // As the entry function holds it: the apartment lives through the cycles.
    OleApartment apartment;
    std::vector<double> samples = {ResidentKiB()};
    std::optional<LoginWind> current;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        current.emplace();
        login = &*current;
        current->Create();
        SetTimer(nullptr, 0, playerDelay, &LaunchCycles::ReachGameServer);
        if (current->Run() != 1)
            break;
        {
            GameWind gameWind(current->gameUrl.c_str(), current->gameMonitor);
            gameWind.Create();
            game = gameWind.GetHandle();
            SetTimer(nullptr, 0, playerDelay, &LaunchCycles::CloseGame);
            gameWind.Run();
        }
        samples.push_back(ResidentKiB());
    }
    login = nullptr;
    return samples;
}
