#pragma once

#include <windows.h>

#include <string>

// What a test asks of the stand-in, read from the environment of the process it runs in:
// STANDIN_DLGCODE=none makes its window claim no keys from the dialog manager (all keys by
// default); STANDIN_ACCELERATORS lists virtual keys in hex ("09,41") that its
// TranslateAccelerator handles itself, as a control handles its own accelerators;
// STANDIN_STALL is a text: a navigation to an address containing it never answers;
// STANDIN_SLOW is a text: a navigation to an address containing it raises NavigateComplete2 at
// once and DocumentComplete only STANDIN_SLOW_MS later (45000 by default), as a page whose images
// and frames take long; STANDIN_DOWNLOAD is a text: a navigation to an address containing it
// turns into a download (FileDownload, then no document).
class StandInSettings {
public:
    static UINT DialogCode();
    static bool HandlesAccelerator(WPARAM key);
    static bool Stalls(const std::wstring& address);
    static bool LoadsSlowly(const std::wstring& address);
    static UINT SlowDocumentMs();
    static bool Downloads(const std::wstring& address);
};
