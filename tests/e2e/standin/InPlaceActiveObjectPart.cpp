#include "InPlaceActiveObjectPart.h"

#include "StandInBrowser.h"
#include "StandInLog.h"

namespace {

// Messages every loop passes many times a second; logging them would bury the rest.
bool IsNoise(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case WM_TIMER:
    case 0x0118:
    case WM_PAINT:
    case StandInWindow::RaiseEventMessage:
        return true;
    default:
        return false;
    }
}

}

InPlaceActiveObjectPart::InPlaceActiveObjectPart(StandInBrowser& owner)
    : owner(owner)
{
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::QueryInterface(REFIID riid, void** object)
{
    return owner.QueryInterface(riid, object);
}

ULONG STDMETHODCALLTYPE InPlaceActiveObjectPart::AddRef()
{
    return owner.AddRef();
}

ULONG STDMETHODCALLTYPE InPlaceActiveObjectPart::Release()
{
    return owner.Release();
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::GetWindow(HWND* window)
{
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = owner.Window().Handle();
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::ContextSensitiveHelp(WINBOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::TranslateAccelerator(LPMSG message)
{
    if (message == nullptr) {
        StandInLog::Write(L"TranslateAccelerator", L"obj=%u msg=null", owner.Serial());
        return E_INVALIDARG;
    }
    if (!IsNoise(message->message)) {
        StandInLog::Write(L"TranslateAccelerator", L"obj=%u msg=0x%04x key=0x%02lx hwnd=0x%08lx", owner.Serial(),
            message->message, static_cast<unsigned long>(message->wParam), HandleToUlong(message->hwnd));
    }
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::OnFrameWindowActivate(WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::OnDocWindowActivate(WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlaceActiveObjectPart::EnableModeless(WINBOOL)
{
    return S_OK;
}
