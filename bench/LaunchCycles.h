#pragma once

#include <windows.h>

#include <vector>

class LoginWind;

// The launcher's own cycle, run in this process: a login window until a game server's address
// is reached, the game window until it is closed, then a fresh login window. Timers stand in
// for the player, so both windows run their real message loops. Resident memory is sampled
// after each cycle, once the game window object is gone.
class LaunchCycles {
public:
    // Answers the working set in KiB before the first cycle and after each one.
    std::vector<double> Run(int cycles);

private:
    static double ResidentKiB();
    static void CALLBACK ReachGameServer(HWND, UINT, UINT_PTR timer, DWORD);
    static void CALLBACK CloseGame(HWND, UINT, UINT_PTR timer, DWORD);

    static LoginWind* login;
    static HWND game;
};
