#include "StandInModule.h"

#include "ApartmentSpy.h"

#include "StandInClassFactory.h"
#include "StandInLog.h"
#include "StandInWindow.h"

namespace {

HINSTANCE moduleInstance = nullptr;
LONG liveObjects = 0;
LONG locks = 0;
LONG serials = 0;

}

// {3B0CCF32-A83A-428F-9B56-70CC39BC6BC3}
const CLSID StandInModule::ClassId = {0x3b0ccf32, 0xa83a, 0x428f, {0x9b, 0x56, 0x70, 0xcc, 0x39, 0xbc, 0x6b, 0xc3}};

HINSTANCE StandInModule::Instance()
{
    return moduleInstance;
}

void StandInModule::SetInstance(HINSTANCE instance)
{
    moduleInstance = instance;
}

void StandInModule::ObjectCreated()
{
    InterlockedIncrement(&liveObjects);
}

void StandInModule::ObjectDestroyed()
{
    InterlockedDecrement(&liveObjects);
}

void StandInModule::Lock(bool lock)
{
    if (lock) {
        InterlockedIncrement(&locks);
    } else {
        InterlockedDecrement(&locks);
    }
}

bool StandInModule::CanUnload()
{
    return liveObjects == 0 && locks == 0;
}

unsigned StandInModule::NextSerial()
{
    return static_cast<unsigned>(InterlockedIncrement(&serials));
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        StandInModule::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: a later load must register the class afresh.
        StandInWindow::UnregisterWindowClass();
        StandInLog::Write(L"Unload", L"");
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualCLSID(clsid, StandInModule::ClassId)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return StandInModule::Make<StandInClassFactory>(riid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return StandInModule::CanUnload() && !ApartmentSpy::Watching() ? S_OK : S_FALSE;
}
