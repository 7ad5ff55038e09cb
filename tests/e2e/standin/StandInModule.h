#pragma once

#include <windows.h>

// Module-wide state of the stand-in DLL: its handle, its class id and the
// counts that decide whether it may be unloaded.
class StandInModule {
public:
    static const CLSID ClassId;

    static HINSTANCE Instance();
    static void SetInstance(HINSTANCE instance);
    static void ObjectCreated();
    static void ObjectDestroyed();
    static void Lock(bool lock);
    static bool CanUnload();
    static unsigned NextSerial();
};
