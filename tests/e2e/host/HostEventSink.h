#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

class HostWindow;

// A DWebBrowserEvents2 sink that prints each event with a check of its
// argument list, answers new-window requests and navigation errors with a fixed
// Cancel value, and closes the control from inside NavigateComplete2 when the
// address matches.
class HostEventSink : public IDispatch {
public:
    HostEventSink(HostWindow& host, int number, bool cancelAnswer, const std::wstring& closePattern);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    virtual ~HostEventSink() = default;
    void OnAddressEvent(DISPID id, const DISPPARAMS& params);
    void OnNewWindow(DISPID id, const DISPPARAMS& params);
    void OnNavigateError(const DISPPARAMS& params);

    LONG refCount;
    HostWindow& host;
    int number;
    bool cancelAnswer;
    std::wstring closePattern;
};
