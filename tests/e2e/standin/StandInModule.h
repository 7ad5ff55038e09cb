#pragma once

#include <windows.h>

#include <new>

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

    // A new object answering for riid, held only by the caller's reference.
    template <typename Object>
    static HRESULT Make(REFIID riid, void** object)
    {
        Object* made = new (std::nothrow) Object();
        if (made == nullptr) {
            return E_OUTOFMEMORY;
        }
        HRESULT result = made->QueryInterface(riid, object);
        made->Release();
        return result;
    }
};
