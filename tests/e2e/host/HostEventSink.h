#pragma once

#include "../standin/UntypedDispatch.h"

#include <string>

class HostWindow;

// A DWebBrowserEvents2 sink that prints each event with a check of its
// argument list, answers new-window requests and navigation errors with a fixed
// Cancel value, and closes the control from inside NavigateComplete2 when the
// address matches.
class HostEventSink : public UntypedDispatch {
public:
    HostEventSink(HostWindow& host, int number, bool cancelAnswer, const std::wstring& closePattern);

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    void* Find(REFIID riid) override;
    void OnAddressEvent(DISPID id, const DISPPARAMS& params);
    void OnNewWindow(DISPID id, const DISPPARAMS& params);
    void OnNavigateError(const DISPPARAMS& params);

    HostWindow& host;
    int number;
    bool cancelAnswer;
    std::wstring closePattern;
};
