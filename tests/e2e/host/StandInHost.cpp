// A minimal host for the stand-in control, used to test the stand-in and the
// end-to-end harness before the program's own web view exists.

#include "HostWindow.h"

#include "../ctl/ConsoleOutput.h"

#include <windows.h>
#include <ole2.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    std::wstring address = L"http://start.test/";
    std::wstring closePattern;
    int sinks = 1;
    int cycles = 1;
    bool cancelAnswer = false;
    RECT position = {40, 40, 680, 440};
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        const wchar_t* value = argv[i + 1];
        if (option == L"--url") {
            address = value;
        } else if (option == L"--close-on") {
            closePattern = value;
        } else if (option == L"--sinks") {
            sinks = _wtoi(value);
        } else if (option == L"--cycles") {
            cycles = _wtoi(value);
        } else if (option == L"--cancel") {
            cancelAnswer = _wtoi(value) != 0;
        } else if (option == L"--rect") {
            swscanf(value, L"%ld,%ld,%ld,%ld", &position.left, &position.top, &position.right, &position.bottom);
        } else {
            ConsoleOutput::Error(L"unknown option " + option);
            return 1;
        }
    }
    OleInitialize(nullptr);
    int failures = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        HostWindow host;
        if (!host.Create(position) || !host.Embed(sinks, cancelAnswer, closePattern, address)) {
            ++failures;
            break;
        }
        host.Run();
        ConsoleOutput::Line(L"host cycle=" + std::to_wstring(cycle) + L" done");
    }
    OleUninitialize();
    ConsoleOutput::Line(L"host exit");
    return failures;
}
