#pragma once

#include <windows.h>
#include <exdispid.h>
#include <ole2.h>

#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "toolkit/WindManager.h"
#include "webview/WebView.h"
#include "webview/WebViewCallback.h"
#include "webview/WebViewEventAgent.h"
#include "toolkit/CallbackBase.h"

// An address that answers at once with a refused connection.
const wchar_t unreachableUrl[] = L"http://127.0.0.1:9/";
// The stall period of the agents the tests make themselves: short enough to wait out.
const UINT testStallPeriodMs = 200;

struct WebViewCall {
    CallbackBase* owner;
    WebViewEvent kind;
    WebView* webView;
    std::wstring url;
    long status;
};

// A callback owner that records every call and answers as told.
class Recorder : public CallbackBase {
public:
    static bool Callback(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url, long status)
    {
        auto* self = static_cast<Recorder*>(owner);
        self->calls.push_back({owner, kind, webView, url, status});
        if (self->onEvent)
            self->onEvent(webView);
        return self->answer;
    }

    std::vector<WebViewCall> calls;
    bool answer = false;
    std::function<void(WebView*)> onEvent;
};

// A COM object standing for the browser control, or for one of its frames, in events raised at
// an agent by hand. Its identity, the IUnknown that QueryInterface answers, is another pointer
// than its IDispatch, as COM allows: only IUnknown pointers may be compared. It is never freed
// by its references.
class EventSender : public IDispatch {
public:
    EventSender() : identity(*this) {}
    IUnknown* Identity() { return &identity; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown))
            *object = &identity;
        else if (IsEqualIID(iid, IID_IDispatch))
            *object = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

private:
    class IdentityPart : public IUnknown {
    public:
        explicit IdentityPart(EventSender& owner) : owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return owner.QueryInterface(iid, object); }
        STDMETHODIMP_(ULONG) AddRef() override { return owner.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner.Release(); }

    private:
        EventSender& owner;
    };

    IdentityPart identity;
    ULONG references = 1;
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

// An argument of the type, whose value fill puts in the member that type reads.
template <typename Fill>
VARIANT Argument(VARTYPE type, Fill fill)
{
    VARIANT argument = Typed(type);
    fill(argument);
    return argument;
}

inline VARIANT BstrArgument(BSTR text) { return Argument(VT_BSTR, [=](VARIANT& a) { a.bstrVal = text; }); }
inline VARIANT VariantRefArgument(VARIANT* target)
{
    return Argument(VT_BYREF | VT_VARIANT, [=](VARIANT& a) { a.pvarVal = target; });
}
inline VARIANT BoolRefArgument(VARIANT_BOOL* flag)
{
    return Argument(VT_BYREF | VT_BOOL, [=](VARIANT& a) { a.pboolVal = flag; });
}
inline VARIANT LongArgument(LONG number) { return Argument(VT_I4, [=](VARIANT& a) { a.lVal = number; }); }
inline VARIANT DispatchArgument(IDispatch* sender)
{
    return Argument(VT_DISPATCH, [=](VARIANT& a) { a.pdispVal = sender; });
}
inline VARIANT DispatchRefArgument(IDispatch** target)
{
    return Argument(VT_BYREF | VT_DISPATCH, [=](VARIANT& a) { a.ppdispVal = target; });
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

// NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel); the VARIANTs referred to
// live in the caller.
inline std::vector<VARIANT> NavigateErrorArguments(IDispatch* sender, VARIANT* url, VARIANT* frameName,
    VARIANT* status, VARIANT_BOOL* cancel)
{
    return {BoolRefArgument(cancel), VariantRefArgument(status), VariantRefArgument(frameName),
        VariantRefArgument(url), DispatchArgument(sender)};
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

// On a fresh thread, two objects that each initialise OLE as they are made: the second finds it
// initialised already (S_FALSE), which must be balanced too, so OLE lasts until the last one is gone.
template <typename Make, typename Destroy>
void ExpectOleBalancedOverTwo(Make make, Destroy destroy)
{
    OnFreshThread([&] {
        auto first = make();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
        auto second = make();
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
        destroy(first);
        EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
        destroy(second);
        EXPECT_EQ(ProbeApartment(), Apartment::None);
    });
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

// NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel) raised at a sink as the control
// raises it; cancel goes in as the control set it and comes back as the sink left it.
inline HRESULT RaiseNavigateError(IDispatch* sink, IDispatch* sender, const wchar_t* url, LONG status,
    VARIANT_BOOL& cancel)
{
    OwnedBstr text(url);
    OwnedBstr name(L"");
    VARIANT address = BstrArgument(text.Get());
    VARIANT frameName = BstrArgument(name.Get());
    VARIANT code = LongArgument(status);
    return Raise(sink, DISPID_NAVIGATEERROR, NavigateErrorArguments(sender, &address, &frameName, &code, &cancel));
}

// NavigateError of a live web view's page itself, raised at its agent as its control would;
// answers the Cancel the agent wrote.
inline VARIANT_BOOL PageFails(WebView* webView, const wchar_t* url, LONG status)
{
    VARIANT_BOOL cancel = VARIANT_FALSE;
    RaiseNavigateError(webView->eventAgent, webView->browser.Get(), url, status, cancel);
    return cancel;
}

// DocumentComplete of a live web view's page itself, or of a frame in it.
inline void PageCompletes(WebView* webView, const wchar_t* url, IDispatch* frame = nullptr)
{
    OwnedBstr text(url);
    VARIANT address = BstrArgument(text.Get());
    Raise(webView->eventAgent, DISPID_DOCUMENTCOMPLETE,
        {VariantRefArgument(&address), DispatchArgument(frame ? frame : webView->browser.Get())});
}
