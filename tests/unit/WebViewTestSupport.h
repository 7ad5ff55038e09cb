#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "toolkit/WindManager.h"
#include "webview/WebViewCallback.h"
#include "toolkit/CallbackBase.h"

// An address that answers at once with a refused connection.
const wchar_t unreachableUrl[] = L"http://127.0.0.1:9/";

struct WebViewCall {
    CallbackBase* owner;
    WebViewEvent kind;
    WebView* webView;
    std::wstring url;
};

// A callback owner that records every call and answers as told.
class Recorder : public CallbackBase {
public:
    static bool Callback(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url)
    {
        auto* self = static_cast<Recorder*>(owner);
        self->calls.push_back({owner, kind, webView, url});
        if (self->onEvent)
            self->onEvent(webView);
        return self->answer;
    }

    std::vector<WebViewCall> calls;
    bool answer = false;
    std::function<void(WebView*)> onEvent;
};

class OwnedBstr {
public:
    explicit OwnedBstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~OwnedBstr() { SysFreeString(value); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR Get() const { return value; }

private:
    BSTR value;
};

inline VARIANT Typed(VARTYPE type)
{
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = type;
    return argument;
}

inline VARIANT BstrArgument(BSTR text)
{
    VARIANT argument = Typed(VT_BSTR);
    argument.bstrVal = text;
    return argument;
}

inline VARIANT VariantRefArgument(VARIANT* target)
{
    VARIANT argument = Typed(VT_BYREF | VT_VARIANT);
    argument.pvarVal = target;
    return argument;
}

inline VARIANT BoolRefArgument(VARIANT_BOOL* flag)
{
    VARIANT argument = Typed(VT_BYREF | VT_BOOL);
    argument.pboolVal = flag;
    return argument;
}

inline VARIANT LongArgument(LONG number)
{
    VARIANT argument = Typed(VT_I4);
    argument.lVal = number;
    return argument;
}

inline VARIANT DispatchRefArgument(IDispatch** target)
{
    VARIANT argument = Typed(VT_BYREF | VT_DISPATCH);
    argument.ppdispVal = target;
    return argument;
}

// Raises an event the way the control does: arguments last-first, the first `count` of them passed.
inline HRESULT Raise(IDispatch* sink, DISPID id, std::vector<VARIANT> arguments, UINT count)
{
    DISPPARAMS params = {arguments.data(), nullptr, count, 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

inline HRESULT Raise(IDispatch* sink, DISPID id, std::vector<VARIANT> arguments)
{
    UINT count = static_cast<UINT>(arguments.size());
    return Raise(sink, id, std::move(arguments), count);
}

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl).
inline std::vector<VARIANT> NewWindow3Arguments(BSTR url, VARIANT_BOOL* cancel, IDispatch** window)
{
    return {BstrArgument(url), BstrArgument(nullptr), LongArgument(0), BoolRefArgument(cancel),
        DispatchRefArgument(window)};
}

inline RECT ScreenRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

inline RECT ClientScreenRect(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

enum class Apartment { None, SingleThreaded, MultiThreaded };

inline std::ostream& operator<<(std::ostream& stream, Apartment apartment)
{
    const char* names[] = {"no apartment", "single-threaded", "multithreaded"};
    return stream << names[static_cast<int>(apartment)];
}

// How this thread stands with COM, asked without changing it.
inline Apartment ProbeApartment()
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (result == RPC_E_CHANGED_MODE)
        return Apartment::SingleThreaded;
    CoUninitialize();
    return result == S_OK ? Apartment::None : Apartment::MultiThreaded;
}

// Runs the body on a new thread, which starts with no COM at all, and waits for it.
inline void OnFreshThread(const std::function<void()>& body)
{
    std::thread thread(body);
    thread.join();
}

// Pumps this thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}
