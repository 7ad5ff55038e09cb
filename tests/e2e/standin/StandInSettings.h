#pragma once

#include <windows.h>

#include <string>

// What a test asks of the stand-in, read from the environment of the process it runs in:
// STANDIN_DLGCODE=none makes its window claim no keys from the dialog manager (all keys by
// default); STANDIN_ACCELERATORS lists virtual keys in hex ("09,41") that its
// TranslateAccelerator handles itself, as a control handles its own accelerators;
// STANDIN_STALL is a text: a navigation to an address containing it never answers.
class StandInSettings {
public:
    static UINT DialogCode();
    static bool HandlesAccelerator(WPARAM key);
    static bool Stalls(const std::wstring& address);
};
