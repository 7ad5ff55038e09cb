// OLE on the calling thread for the length of a scope.
#pragma once

#include <windows.h>
#include <ole2.h>

// OLE initialised on the calling thread for the length of a scope, balanced at its end. The
// entry function holds one for the whole launch cycle: each page host keeps its own balanced
// pair, and without this one the host that closes last would end the thread's apartment in the
// middle of the cycle, unloading every library its control loaded while their work may still run.
class OleApartment {
public:
    OleApartment() : initialized(SUCCEEDED(OleInitialize(nullptr))) {}
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    // S_FALSE (already initialised on this thread) counts as well: it too is balanced. What a page
    // put on the clipboard (text the player copied) is rendered there first, so that it outlives
    // the process, which the clipboard's data object does not.
    ~OleApartment()
    {
        if (!initialized)
            return;
        OleFlushClipboard();
        OleUninitialize();
    }

private:
    bool initialized;
};
