#include <windows.h>

#include "windows/SpecialWind.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    SpecialWind window(WindManager::Instance()->LoadPngResource(101, L"PNG"));
    ShowWindow(window.GetHandle(), SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
