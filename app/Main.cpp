#include <windows.h>

#include <optional>

#include "toolkit/OleApartment.h"
#include "toolkit/SystemLibrary.h"
#include "windows/GameWind.h"
#include "windows/LoginWind.h"

// The launch cycle: the login window, then for every login the game window, then a fresh
// login window. The process ends when a login window closes without a login (its close button
// among the ways). Arguments are not read: the launcher takes no input.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    SystemLibrary::RestrictSearchPath();
    // The thread's apartment lives until the cycle ends, beyond each page host's own.
    OleApartment apartment;
    // Each new login window is built in the place of the previous one.
    std::optional<LoginWind> login;
    login.emplace();
    login->Create();
    int result = login->Run();
    while (result == 1) {
        {
            GameWind game(login->gameUrl.c_str(), login->gameMonitor);
            game.Create();
            game.Run();
        }
        login.emplace();
        login->Create();
        result = login->Run();
    }
    return 0;
}
