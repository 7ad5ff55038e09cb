#include "HostEventSink.h"

#include "HostWindow.h"

#include "../ctl/ConsoleOutput.h"

#include <exdisp.h>
#include <exdispid.h>

namespace {

std::wstring BstrText(BSTR text)
{
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}

HostEventSink::HostEventSink(HostWindow& host, int number, bool cancelAnswer, const std::wstring& closePattern)
    : host(host),
      number(number),
      cancelAnswer(cancelAnswer),
      closePattern(closePattern)
{
}

void* HostEventSink::Find(REFIID riid)
{
    return IsOneOf(riid, {&IID_IDispatch, &DIID_DWebBrowserEvents2}) ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE HostEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
    EXCEPINFO*, UINT*)
{
    if (params == nullptr) {
        return E_INVALIDARG;
    }
    switch (id) {
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE:
        OnAddressEvent(id, *params);
        break;
    case DISPID_NEWWINDOW2:
    case DISPID_NEWWINDOW3:
        OnNewWindow(id, *params);
        break;
    case DISPID_NAVIGATEERROR:
        OnNavigateError(*params);
        break;
    default:
        ConsoleOutput::Line(L"host sink=" + std::to_wstring(number) + L"\tdispid=" + std::to_wstring(id));
        break;
    }
    return S_OK;
}

void HostEventSink::OnAddressEvent(DISPID id, const DISPPARAMS& params)
{
    bool valid = params.cArgs == 2 && V_VT(&params.rgvarg[0]) == (VT_BYREF | VT_VARIANT)
        && V_VARIANTREF(&params.rgvarg[0]) != nullptr && V_VT(V_VARIANTREF(&params.rgvarg[0])) == VT_BSTR
        && V_VT(&params.rgvarg[1]) == VT_DISPATCH && V_DISPATCH(&params.rgvarg[1]) != nullptr;
    std::wstring url = valid ? BstrText(V_BSTR(V_VARIANTREF(&params.rgvarg[0]))) : std::wstring();
    ConsoleOutput::Line(L"host sink=" + std::to_wstring(number) + L"\tdispid=" + std::to_wstring(id)
        + L"\targs=" + (valid ? L"ok" : L"bad") + L"\turl=" + ConsoleOutput::Escape(url));
    if (id == DISPID_NAVIGATECOMPLETE2 && !closePattern.empty() && url.find(closePattern) != std::wstring::npos) {
        host.Close();
    }
}

void HostEventSink::OnNewWindow(DISPID id, const DISPPARAMS& params)
{
    bool valid = false;
    VARIANT_BOOL* cancel = nullptr;
    std::wstring details;
    if (id == DISPID_NEWWINDOW3) {
        valid = params.cArgs == 5 && V_VT(&params.rgvarg[0]) == VT_BSTR && V_VT(&params.rgvarg[1]) == VT_BSTR
            && V_VT(&params.rgvarg[2]) == VT_I4 && V_VT(&params.rgvarg[3]) == (VT_BYREF | VT_BOOL)
            && V_VT(&params.rgvarg[4]) == (VT_BYREF | VT_DISPATCH);
        if (valid) {
            cancel = V_BOOLREF(&params.rgvarg[3]);
            details = L"\tflags=" + std::to_wstring(V_I4(&params.rgvarg[2])) + L"\tcontext="
                + ConsoleOutput::Escape(BstrText(V_BSTR(&params.rgvarg[1]))) + L"\turl="
                + ConsoleOutput::Escape(BstrText(V_BSTR(&params.rgvarg[0])));
        }
    } else {
        valid = params.cArgs == 2 && V_VT(&params.rgvarg[0]) == (VT_BYREF | VT_BOOL)
            && V_VT(&params.rgvarg[1]) == (VT_BYREF | VT_DISPATCH);
        if (valid) {
            cancel = V_BOOLREF(&params.rgvarg[0]);
        }
    }
    if (cancel != nullptr) {
        *cancel = cancelAnswer ? VARIANT_TRUE : VARIANT_FALSE;
    }
    ConsoleOutput::Line(L"host sink=" + std::to_wstring(number) + L"\tdispid=" + std::to_wstring(id) + L"\targs="
        + (valid ? L"ok" : L"bad") + L"\tanswer=" + (cancelAnswer ? L"1" : L"0") + details);
}

// NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel), last first.
void HostEventSink::OnNavigateError(const DISPPARAMS& params)
{
    auto referenced = [&params](UINT index, VARTYPE type) {
        const VARIANT& argument = params.rgvarg[index];
        return V_VT(&argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&argument) != nullptr
            && V_VT(V_VARIANTREF(&argument)) == type;
    };
    bool valid = params.cArgs == 5 && V_VT(&params.rgvarg[0]) == (VT_BYREF | VT_BOOL) && referenced(1, VT_I4)
        && referenced(2, VT_BSTR) && referenced(3, VT_BSTR) && V_VT(&params.rgvarg[4]) == VT_DISPATCH
        && V_DISPATCH(&params.rgvarg[4]) != nullptr;
    std::wstring details;
    if (valid) {
        *V_BOOLREF(&params.rgvarg[0]) = cancelAnswer ? VARIANT_TRUE : VARIANT_FALSE;
        details = L"\tstatus=" + std::to_wstring(V_I4(V_VARIANTREF(&params.rgvarg[1]))) + L"\tframe="
            + (host.IsControl(V_DISPATCH(&params.rgvarg[4])) ? L"0" : L"1") + L"\tname="
            + ConsoleOutput::Escape(BstrText(V_BSTR(V_VARIANTREF(&params.rgvarg[2])))) + L"\turl="
            + ConsoleOutput::Escape(BstrText(V_BSTR(V_VARIANTREF(&params.rgvarg[3]))));
    }
    ConsoleOutput::Line(L"host sink=" + std::to_wstring(number) + L"\tdispid=" + std::to_wstring(DISPID_NAVIGATEERROR)
        + L"\targs=" + (valid ? L"ok" : L"bad") + L"\tanswer=" + (cancelAnswer ? L"1" : L"0") + details);
}
