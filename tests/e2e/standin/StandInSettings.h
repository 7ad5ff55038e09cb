#pragma once

#include <windows.h>

// What a test asks of the stand-in, read from the environment of the process it runs in:
// STANDIN_DLGCODE=none makes its window claim no keys from the dialog manager (all keys by
// default); STANDIN_ACCELERATORS lists virtual keys in hex ("09,41") that its
// TranslateAccelerator handles itself, as a control handles its own accelerators.
class StandInSettings {
public:
    static UINT DialogCode();
    static bool HandlesAccelerator(WPARAM key);
};
