#include "ApartmentSpy.h"

#include "StandInLog.h"

#include <windows.h>
#include <objbase.h>

namespace {

// One static object, counted by nobody: COM may release it as it likes, and no code of it runs
// once it is revoked.
class Spy : public IInitializeSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IInitializeSpy)) {
            *object = static_cast<IInitializeSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD references) override;
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

Spy spy;
ULARGE_INTEGER cookie = {};
DWORD watchedThread = 0;

// The count of initialisations before this uninitialisation: at 1 it is the last, and the
// apartment ends with it.
HRESULT STDMETHODCALLTYPE Spy::PreUninitialize(DWORD references)
{
    if (references != 1 || watchedThread != GetCurrentThreadId()) {
        return S_OK;
    }
    StandInLog::Write(L"ApartmentEnded", L"thread=%lu", watchedThread);
    watchedThread = 0;
    CoRevokeInitializeSpy(cookie);
    return S_OK;
}

}

void ApartmentSpy::Watch()
{
    if (watchedThread != 0) {
        return;
    }
    if (SUCCEEDED(CoRegisterInitializeSpy(&spy, &cookie))) {
        watchedThread = GetCurrentThreadId();
    }
}

bool ApartmentSpy::Watching()
{
    return watchedThread != 0;
}
