#include "StandInBrowser.h"

#include "ApartmentSpy.h"
#include "ClipboardText.h"
#include "ControlChannel.h"
#include "FrameDispatch.h"
#include "StandInLog.h"
#include "StandInModule.h"
#include "StandInSettings.h"
#include "SecurityProbe.h"

#include <exdispid.h>
#include <mshtmhst.h>

#include <utility>

namespace {

// A click on a link that targets a new window: user-initiated, first request.
const LONG NewWindowFlags = 0x2 | 0x4;

// The queued request of the security probe, which is no event of the control.
const DISPID SecurityProbeRequest = DISPID_UNKNOWN;
// The queued request of a page's alert(), which is no event of the control either.
const DISPID AlertRequest = DISPID_UNKNOWN - 1;
// The queued window.stop() of a page, raised as the DownloadComplete it ends with.
const DISPID StopRequest = DISPID_DOWNLOADCOMPLETE;
// The queued copy of a page's text to the clipboard.
const DISPID CopyRequest = DISPID_UNKNOWN - 2;

// An address containing this has its events raised before the navigation call returns.
const wchar_t RaiseNowMarker[] = L"#raise-now";

// What a request that raised a cancellable event answers.
std::wstring CancelReport(DISPID dispid, int sinks, VARIANT_BOOL cancel)
{
    return std::to_wstring(dispid) + L"=raised\tsinks=" + std::to_wstring(sinks) + L"\tcancel="
        + std::to_wstring(static_cast<int>(cancel));
}

std::wstring IidText(REFIID riid)
{
    wchar_t text[64];
    if (StringFromGUID2(riid, text, 64) == 0) {
        return L"?";
    }
    return text;
}

bool AddressOf(const VARIANT* value, std::wstring& address)
{
    if (value == nullptr) {
        return false;
    }
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value) != nullptr) {
        return AddressOf(V_VARIANTREF(value), address);
    }
    if (V_VT(value) == VT_BSTR) {
        address = V_BSTR(value) != nullptr ? V_BSTR(value) : L"";
        return true;
    }
    if (V_VT(value) == (VT_BYREF | VT_BSTR) && V_BSTRREF(value) != nullptr) {
        address = *V_BSTRREF(value) != nullptr ? *V_BSTRREF(value) : L"";
        return true;
    }
    return false;
}

HRESULT CopyString(const std::wstring& text, BSTR* value)
{
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The value of a feature control for this process's file name, as the platform's control reads it
// when it is created; -1 when there is none.
long FeatureControl(const wchar_t* feature)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = path;
    for (DWORD i = 0; i < length; ++i) {
        if (path[i] == L'\\' || path[i] == L'/') {
            name = path + i + 1;
        }
    }
    std::wstring key = std::wstring(L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\") + feature;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? static_cast<long>(value) : -1;
}

}

StandInBrowser::StandInBrowser()
    : tearingDown(false),
      serial(StandInModule::NextSerial()),
      zoom(100),
      raising(false),
      eventDepth(0),
      modalDepth(0),
      busy(false),
      oleObject(*this),
      inPlaceObject(*this),
      inPlaceActiveObject(*this),
      connectionPointContainer(*this, eventConnectionPoint),
      eventConnectionPoint(*this),
      window(*this)
{
    StandInModule::ObjectCreated();
    StandInLog::Write(L"Create", L"obj=%u gpu=%ld emulation=%ld", serial, FeatureControl(L"FEATURE_GPU_RENDERING"),
        FeatureControl(L"FEATURE_BROWSER_EMULATION"));
    ApartmentSpy::Watch();
}

StandInBrowser::~StandInBrowser()
{
    tearingDown = true;
    oleObject.ReleaseAll();
    eventConnectionPoint.DisconnectAll();
    DropPendingEvents();
    StandInLog::Write(L"FinalRelease", L"obj=%u", serial);
    StandInModule::ObjectDestroyed();
}

unsigned StandInBrowser::Serial() const
{
    return serial;
}

OleObjectPart& StandInBrowser::OleObject()
{
    return oleObject;
}

StandInWindow& StandInBrowser::Window()
{
    return window;
}

const std::wstring& StandInBrowser::Address() const
{
    return address;
}

void StandInBrowser::QueueNavigation(const std::wstring& target, HWND replyWindow)
{
    busy = StandInSettings::Stalls(target);
    // A server that never answers: no event follows, and the page shown stays.
    if (busy) {
        StandInLog::Write(L"Stalled", L"obj=%u url=%ls", serial, target.c_str());
        Report(PendingEvent{DISPID_NAVIGATECOMPLETE2, target, replyWindow, true}, L"252=stalled");
        return;
    }
    // A link that turns into a download: the server's answer is a file, and no document follows.
    if (StandInSettings::Downloads(target)) {
        Queue(DISPID_FILEDOWNLOAD, target, replyWindow, true);
        return;
    }
    // A page whose document arrives at once and whose images and frames take long.
    if (StandInSettings::LoadsSlowly(target) && window.Handle() != nullptr) {
        Queue(DISPID_NAVIGATECOMPLETE2, target, replyWindow, true);
        slowDocument = target;
        StandInLog::Write(L"SlowDocument", L"obj=%u ms=%u url=%ls", serial, StandInSettings::SlowDocumentMs(),
            target.c_str());
        window.StartSlowDocument(StandInSettings::SlowDocumentMs());
        return;
    }
    Queue(DISPID_NAVIGATECOMPLETE2, target, replyWindow, false);
    Queue(DISPID_DOCUMENTCOMPLETE, target, replyWindow, true);
}

void StandInBrowser::QueueSlowDocument()
{
    if (!slowDocument.empty()) {
        Queue(DISPID_DOCUMENTCOMPLETE, slowDocument, nullptr, true);
        slowDocument.clear();
    }
}

void StandInBrowser::QueueStop(HWND replyWindow)
{
    Queue(StopRequest, address, replyWindow, true);
}

void StandInBrowser::QueueCopy(const std::wstring& text, HWND replyWindow)
{
    Queue(CopyRequest, text, replyWindow, true);
}

void StandInBrowser::QueueAlert(const std::wstring& text, HWND replyWindow)
{
    Queue(AlertRequest, text, replyWindow, true);
}

void StandInBrowser::CheckModalUi(const wchar_t* call) const
{
    if (InModalUi()) {
        StandInLog::Write(L"Fault", L"obj=%u kind=InModalUi call=%ls", serial, call);
    }
}

void StandInBrowser::StartNavigation(const std::wstring& target)
{
    if (target.find(RaiseNowMarker) == std::wstring::npos) {
        QueueNavigation(target, nullptr);
        return;
    }
    // The host's call is still on the stack: it may close and release the control inside
    // NavigateComplete2, which drops DocumentComplete as it would a queued one.
    AddRef();
    bool shown = window.Handle() != nullptr;
    Raise(PendingEvent{DISPID_NAVIGATECOMPLETE2, target, nullptr, false});
    if (shown && window.Handle() == nullptr) {
        StandInLog::Write(L"Dropped", L"obj=%u dispid=%ld url=%ls", serial, static_cast<long>(DISPID_DOCUMENTCOMPLETE),
            target.c_str());
    } else {
        Raise(PendingEvent{DISPID_DOCUMENTCOMPLETE, target, nullptr, true});
    }
    Release();
}

void StandInBrowser::QueueDocumentComplete(HWND replyWindow)
{
    Queue(DISPID_DOCUMENTCOMPLETE, address, replyWindow, true);
}

void StandInBrowser::QueueNewWindow(DISPID dispid, const std::wstring& target, HWND replyWindow)
{
    Queue(dispid, target, replyWindow, true);
}

void StandInBrowser::QueueWindowClosing(HWND replyWindow)
{
    Queue(DISPID_WINDOWCLOSING, address, replyWindow, true);
}

void StandInBrowser::QueueBeforeNavigate(const std::wstring& target, HWND replyWindow)
{
    Queue(DISPID_BEFORENAVIGATE2, target, replyWindow, false);
}

void StandInBrowser::QueueSecurityProbe(const std::wstring& actions, HWND replyWindow)
{
    Queue(SecurityProbeRequest, actions, replyWindow, true);
}

void StandInBrowser::QueueNavigateError(const std::wstring& target, long status, bool frame, HWND replyWindow)
{
    // Raised from a posted message: the event is complete before the host sees it.
    Queue(DISPID_NAVIGATEERROR, target, replyWindow, true);
    pending.back().status = status;
    pending.back().frame = frame;
}

void StandInBrowser::EnterEvent()
{
    ++eventDepth;
}

void StandInBrowser::LeaveEvent()
{
    --eventDepth;
}

bool StandInBrowser::InEvent() const
{
    return eventDepth > 0;
}

void StandInBrowser::CheckApartment(const wchar_t* call) const
{
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (CoGetApartmentType(&type, &qualifier) == CO_E_NOTINITIALIZED) {
        StandInLog::Write(L"Fault", L"obj=%u kind=AfterOleEnded call=%ls", serial, call);
    }
}

void StandInBrowser::Queue(DISPID dispid, const std::wstring& target, HWND replyWindow, bool lastOfRequest)
{
    pending.push_back(PendingEvent{dispid, target, replyWindow, lastOfRequest});
    if (window.Handle() != nullptr) {
        window.PostRaiseEvent();
    }
}

// Events queued before the window existed wait for it: one posted message per event.
void StandInBrowser::PostPendingEvents()
{
    for (size_t i = 0; i < pending.size(); ++i) {
        window.PostRaiseEvent();
    }
}

void StandInBrowser::RaiseNextEvent()
{
    if (pending.empty()) {
        return;
    }
    PendingEvent event = pending.front();
    pending.pop_front();
    raising = true;
    Raise(event);
    raising = false;
    std::deque<PendingEvent> dropped;
    dropped.swap(droppedWhileRaising);
    for (const PendingEvent& later : dropped) {
        ReportDropped(later);
    }
}

void StandInBrowser::DropPendingEvents()
{
    std::deque<PendingEvent> dropped;
    dropped.swap(pending);
    for (const PendingEvent& event : dropped) {
        StandInLog::Write(L"Dropped", L"obj=%u dispid=%ld url=%ls", serial, event.dispid, event.address.c_str());
        // The event being raised reports first, so a reply lists its request's events in order.
        if (raising) {
            droppedWhileRaising.push_back(event);
        } else {
            ReportDropped(event);
        }
    }
}

void StandInBrowser::ReportDropped(const PendingEvent& event)
{
    wchar_t text[32];
    _snwprintf(text, 32, L"%ld=dropped", event.dispid);
    text[31] = L'\0';
    Report(event, text);
}

void StandInBrowser::Raise(const PendingEvent& event)
{
    std::wstring report;
    switch (event.dispid) {
    case DISPID_NAVIGATECOMPLETE2:
        address = event.address;
        zoom = 100;
        oleObject.AskHostInfo();
        window.ShowAddress(address);
        RaiseAddressEvent(event.dispid, L"NavigateComplete2", event.address, report);
        break;
    case DISPID_DOCUMENTCOMPLETE:
        RaiseAddressEvent(event.dispid, L"DocumentComplete", event.address, report);
        break;
    case DISPID_WINDOWCLOSING:
        RaiseWindowClosing(report);
        break;
    case DISPID_BEFORENAVIGATE2:
        // A cancelled navigation ends the request; otherwise the control goes on to navigate.
        if (RaiseBeforeNavigate(event.address, report)) {
            Report(PendingEvent{event.dispid, event.address, event.replyWindow, true}, report);
            return;
        }
        QueueNavigation(event.address, event.replyWindow);
        break;
    case DISPID_NAVIGATEERROR:
        RaiseNavigateError(event, report);
        break;
    case DISPID_FILEDOWNLOAD:
        RaiseFileDownload(event.address, report);
        break;
    case AlertRequest:
        RaiseAlert(event);
        return;
    case CopyRequest: {
        HRESULT result = ClipboardText::Copy(event.address);
        StandInLog::Write(L"Copied", L"obj=%u hr=0x%08lx", serial, static_cast<unsigned long>(result));
        report = SUCCEEDED(result) ? L"copied=1" : L"copied=0";
        break;
    }
    case StopRequest: {
        busy = false;
        StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=DownloadComplete", serial, event.dispid);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        report = std::to_wstring(event.dispid) + L"=raised\tsinks="
            + std::to_wstring(eventConnectionPoint.Raise(event.dispid, &none));
        break;
    }
    case SecurityProbeRequest: {
        IOleClientSite* site = nullptr;
        oleObject.GetClientSite(&site);
        report = SecurityProbe::Run(site, address, event.address);
        if (site != nullptr) {
            site->Release();
        }
        StandInLog::Write(L"SecurityProbe", L"obj=%u %ls", serial, report.c_str());
        break;
    }
    default:
        RaiseNewWindow(event.dispid, event.address, report);
        break;
    }
    Report(event, report);
}

void StandInBrowser::RaiseAddressEvent(DISPID dispid, const wchar_t* name, const std::wstring& target,
    std::wstring& report)
{
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=%ls url=%ls", serial, dispid, name, target.c_str());
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocStringLen(target.data(), static_cast<UINT>(target.size()));
    VARIANTARG args[2];
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[0]) = &url;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = static_cast<IDispatch*>(this);
    DISPPARAMS params = {args, nullptr, 2, 0};
    int sinks = eventConnectionPoint.Raise(dispid, &params);
    VariantClear(&url);
    wchar_t text[64];
    _snwprintf(text, 64, L"%ld=raised\tsinks=%d", dispid, sinks);
    text[63] = L'\0';
    report = text;
}

void StandInBrowser::RaiseNewWindow(DISPID dispid, const std::wstring& target, std::wstring& report)
{
    const wchar_t* name = dispid == DISPID_NEWWINDOW3 ? L"NewWindow3" : L"NewWindow2";
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=%ls url=%ls", serial, dispid, name, target.c_str());
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    BSTR context = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    BSTR url = SysAllocStringLen(target.data(), static_cast<UINT>(target.size()));
    VARIANTARG args[5];
    for (VARIANTARG& arg : args) {
        VariantInit(&arg);
    }
    UINT count = 2;
    if (dispid == DISPID_NEWWINDOW3) {
        count = 5;
        V_VT(&args[4]) = VT_BYREF | VT_DISPATCH;
        V_DISPATCHREF(&args[4]) = &newWindow;
        V_VT(&args[3]) = VT_BYREF | VT_BOOL;
        V_BOOLREF(&args[3]) = &cancel;
        V_VT(&args[2]) = VT_I4;
        V_I4(&args[2]) = NewWindowFlags;
        V_VT(&args[1]) = VT_BSTR;
        V_BSTR(&args[1]) = context;
        V_VT(&args[0]) = VT_BSTR;
        V_BSTR(&args[0]) = url;
    } else {
        V_VT(&args[1]) = VT_BYREF | VT_DISPATCH;
        V_DISPATCHREF(&args[1]) = &newWindow;
        V_VT(&args[0]) = VT_BYREF | VT_BOOL;
        V_BOOLREF(&args[0]) = &cancel;
    }
    DISPPARAMS params = {args, nullptr, count, 0};
    int sinks = eventConnectionPoint.Raise(dispid, &params);
    SysFreeString(context);
    SysFreeString(url);
    bool gotWindow = newWindow != nullptr;
    if (newWindow != nullptr) {
        newWindow->Release();
    }
    StandInLog::Write(dispid == DISPID_NEWWINDOW3 ? L"NewWindow3Result" : L"NewWindow2Result",
        L"obj=%u cancel=%d disp=%d url=%ls", serial, static_cast<int>(cancel), gotWindow ? 1 : 0, target.c_str());
    wchar_t text[96];
    _snwprintf(text, 96, L"%ld=raised\tsinks=%d\tcancel=%d\tdisp=%d", dispid, sinks, static_cast<int>(cancel),
        gotWindow ? 1 : 0);
    text[95] = L'\0';
    report = text;
}

// An event of two arguments, a flag that is false and Cancel, as WindowClosing and FileDownload take
// them; answers how many sinks it reached.
int StandInBrowser::RaiseCancellable(DISPID dispid, VARIANT_BOOL& cancel)
{
    VARIANTARG args[2];
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&args[0]) = &cancel;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_BOOL;
    V_BOOL(&args[1]) = VARIANT_FALSE;
    DISPPARAMS params = {args, nullptr, 2, 0};
    return eventConnectionPoint.Raise(dispid, &params);
}

// window.close() in the page: WindowClosing(IsChildWindow, Cancel). Left uncancelled, the
// platform's control asks the player whether to close the window.
void StandInBrowser::RaiseWindowClosing(std::wstring& report)
{
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=WindowClosing url=%ls", serial,
        static_cast<long>(DISPID_WINDOWCLOSING), address.c_str());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    int sinks = RaiseCancellable(DISPID_WINDOWCLOSING, cancel);
    StandInLog::Write(L"WindowClosingResult", L"obj=%u cancel=%d", serial, static_cast<int>(cancel));
    if (cancel == VARIANT_FALSE) {
        StandInLog::Write(L"WindowClosingDialog", L"obj=%u", serial);
    }
    report = CancelReport(DISPID_WINDOWCLOSING, sinks, cancel);
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), as for a
// link the player followed in the page. Answers whether the host cancelled the navigation.
bool StandInBrowser::RaiseBeforeNavigate(const std::wstring& target, std::wstring& report)
{
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=BeforeNavigate2 url=%ls", serial,
        static_cast<long>(DISPID_BEFORENAVIGATE2), target.c_str());
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocStringLen(target.data(), static_cast<UINT>(target.size()));
    VARIANT flags;
    VariantInit(&flags);
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = 0;
    VARIANT empty;
    VariantInit(&empty);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG args[7];
    for (VARIANTARG& arg : args) {
        VariantInit(&arg);
        V_VT(&arg) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&arg) = &empty;
    }
    V_VT(&args[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&args[0]) = &cancel;
    V_VARIANTREF(&args[4]) = &flags;
    V_VARIANTREF(&args[5]) = &url;
    V_VT(&args[6]) = VT_DISPATCH;
    V_DISPATCH(&args[6]) = static_cast<IDispatch*>(this);
    DISPPARAMS params = {args, nullptr, 7, 0};
    int sinks = eventConnectionPoint.Raise(DISPID_BEFORENAVIGATE2, &params);
    VariantClear(&url);
    StandInLog::Write(L"BeforeNavigate2Result", L"obj=%u cancel=%d url=%ls", serial, static_cast<int>(cancel),
        target.c_str());
    report = CancelReport(DISPID_BEFORENAVIGATE2, sinks, cancel);
    return cancel != VARIANT_FALSE;
}

// NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel), as for a page, or a frame of
// it, that could not be loaded. Left uncancelled, a failure of the page itself (a negative
// status or one of 400 and more) makes the platform's control show its own error page there.
void StandInBrowser::RaiseNavigateError(const PendingEvent& event, std::wstring& report)
{
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=NavigateError url=%ls", serial,
        static_cast<long>(DISPID_NAVIGATEERROR), event.address.c_str());
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocStringLen(event.address.data(), static_cast<UINT>(event.address.size()));
    VARIANT frameName;
    VariantInit(&frameName);
    V_VT(&frameName) = VT_BSTR;
    V_BSTR(&frameName) = SysAllocString(event.frame ? L"side" : L"");
    VARIANT status;
    VariantInit(&status);
    V_VT(&status) = VT_I4;
    V_I4(&status) = event.status;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* frame = event.frame ? new FrameDispatch : nullptr;
    VARIANTARG args[5];
    for (VARIANTARG& arg : args) {
        VariantInit(&arg);
    }
    V_VT(&args[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&args[0]) = &cancel;
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = &status;
    V_VT(&args[2]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[2]) = &frameName;
    V_VT(&args[3]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[3]) = &url;
    V_VT(&args[4]) = VT_DISPATCH;
    V_DISPATCH(&args[4]) = frame != nullptr ? frame : static_cast<IDispatch*>(this);
    DISPPARAMS params = {args, nullptr, 5, 0};
    int sinks = eventConnectionPoint.Raise(DISPID_NAVIGATEERROR, &params);
    if (frame != nullptr) {
        frame->Release();
    }
    VariantClear(&url);
    VariantClear(&frameName);
    StandInLog::Write(L"NavigateErrorResult", L"obj=%u cancel=%d status=%ld frame=%d url=%ls", serial,
        static_cast<int>(cancel), event.status, event.frame ? 1 : 0, event.address.c_str());
    bool failure = event.status < 0 || event.status >= 400;
    if (cancel == VARIANT_FALSE && failure && !event.frame) {
        StandInLog::Write(L"ErrorPage", L"obj=%u url=%ls", serial, event.address.c_str());
    }
    report = CancelReport(DISPID_NAVIGATEERROR, sinks, cancel);
}

// FileDownload(ActiveDocument, Cancel), as for a link whose answer is a file, not a document to
// show. Nothing follows: the page shown stays.
void StandInBrowser::RaiseFileDownload(const std::wstring& target, std::wstring& report)
{
    StandInLog::Write(L"Event", L"obj=%u dispid=%ld name=FileDownload url=%ls", serial,
        static_cast<long>(DISPID_FILEDOWNLOAD), target.c_str());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    int sinks = RaiseCancellable(DISPID_FILEDOWNLOAD, cancel);
    StandInLog::Write(L"FileDownloadResult", L"obj=%u cancel=%d url=%ls", serial, static_cast<int>(cancel),
        target.c_str());
    report = CancelReport(DISPID_FILEDOWNLOAD, sinks, cancel);
}

// A page's alert() as the platform's control shows it: its modal UI announced to the site's
// UI handler and to the frame, a message box owned by the control's root window (the page's host),
// and the end announced to both. Raised from the host's message dispatch and held by the caller.
void StandInBrowser::RaiseAlert(const PendingEvent& event)
{
    IDocHostUIHandler* handler = oleObject.UiHandler();
    IOleInPlaceFrame* frame = oleObject.Frame();
    if (handler != nullptr) {
        handler->EnableModeless(FALSE);
    }
    if (frame != nullptr) {
        frame->EnableModeless(FALSE);
    }
    HWND root = window.Handle() != nullptr ? GetAncestor(window.Handle(), GA_ROOT) : nullptr;
    ++modalDepth;
    StandInLog::Write(L"AlertShown", L"obj=%u owner=0x%08lx handler=%d frame=%d", serial, HandleToUlong(root),
        handler != nullptr ? 1 : 0, frame != nullptr ? 1 : 0);
    Report(event, L"alert=shown");
    int answer = MessageBoxW(root, event.address.c_str(), L"Message from webpage", MB_OK | MB_ICONWARNING);
    --modalDepth;
    StandInLog::Write(L"AlertEnded", L"obj=%u answer=%d", serial, answer);
    if (frame != nullptr) {
        frame->EnableModeless(TRUE);
        frame->Release();
    }
    if (handler != nullptr) {
        handler->EnableModeless(TRUE);
        handler->Release();
    }
}

// Answers the control tool once the last event of its request is raised or dropped.
void StandInBrowser::Report(const PendingEvent& event, const std::wstring& text)
{
    if (event.replyWindow == nullptr) {
        return;
    }
    std::wstring& collected = reports[event.replyWindow];
    if (!collected.empty()) {
        collected += L'\t';
    }
    collected += text;
    if (!event.lastOfRequest) {
        return;
    }
    std::wstring reply = std::move(collected);
    reports.erase(event.replyWindow);
    COPYDATASTRUCT data = {ControlChannel::Reply, static_cast<DWORD>(reply.size() * sizeof(wchar_t)),
        const_cast<wchar_t*>(reply.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(event.replyWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(window.Handle()),
        reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &result);
}

HRESULT StandInBrowser::NotImplemented(const wchar_t* name)
{
    StandInLog::Write(L"NotImplemented", L"obj=%u method=%ls", serial, name);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::QueryInterface(REFIID riid, void** object)
{
    CheckApartment(L"QueryInterface");
    return ComObject::QueryInterface(riid, object);
}

void* StandInBrowser::Find(REFIID riid)
{
    if (IsOneOf(riid, {&IID_IDispatch, &IID_IWebBrowser, &IID_IWebBrowserApp, &IID_IWebBrowser2})) {
        return static_cast<IWebBrowser2*>(this);
    }
    if (IsEqualIID(riid, IID_IOleObject)) {
        return static_cast<IOleObject*>(&oleObject);
    }
    if (IsOneOf(riid, {&IID_IOleWindow, &IID_IOleInPlaceObject})) {
        return static_cast<IOleInPlaceObject*>(&inPlaceObject);
    }
    if (IsEqualIID(riid, IID_IOleInPlaceActiveObject)) {
        return static_cast<IOleInPlaceActiveObject*>(&inPlaceActiveObject);
    }
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
        return static_cast<IConnectionPointContainer*>(&connectionPointContainer);
    }
    StandInLog::Write(L"QueryInterfaceRefused", L"obj=%u iid=%ls", serial, IidText(riid).c_str());
    return nullptr;
}

ULONG STDMETHODCALLTYPE StandInBrowser::AddRef()
{
    CheckApartment(L"AddRef");
    return tearingDown ? 1 : ComObject::AddRef();
}

ULONG STDMETHODCALLTYPE StandInBrowser::Release()
{
    CheckApartment(L"Release");
    return tearingDown ? 1 : ComObject::Release();
}

HRESULT STDMETHODCALLTYPE StandInBrowser::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
    UINT*)
{
    StandInLog::Write(L"NotImplemented", L"obj=%u method=Invoke dispid=%ld", serial, id);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    std::wstring target = url != nullptr ? url : L"";
    StandInLog::Write(L"Navigate", L"obj=%u url=%ls", serial, target.c_str());
    StartNavigation(target);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Refresh()
{
    StandInLog::Write(L"Refresh", L"obj=%u url=%ls", serial, address.c_str());
    QueueDocumentComplete(nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Refresh2(VARIANT* level)
{
    LONG value = level != nullptr && V_VT(level) == VT_I4 ? V_I4(level) : -1;
    StandInLog::Write(L"Refresh2", L"obj=%u level=%ld url=%ls", serial, value, address.c_str());
    QueueDocumentComplete(nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Stop()
{
    StandInLog::Write(L"Stop", L"obj=%u", serial);
    busy = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::get_LocationName(BSTR* value)
{
    return CopyString(address, value);
}

HRESULT STDMETHODCALLTYPE StandInBrowser::get_LocationURL(BSTR* value)
{
    return CopyString(address, value);
}

HRESULT STDMETHODCALLTYPE StandInBrowser::get_Busy(VARIANT_BOOL* value)
{
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = busy ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::get_HWND(SHANDLE_PTR* value)
{
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = reinterpret_cast<SHANDLE_PTR>(window.Handle());
    return window.Handle() != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    std::wstring target;
    if (!AddressOf(url, target)) {
        StandInLog::Write(L"Navigate2", L"obj=%u invalid-url-type=0x%04x", serial,
            url != nullptr ? V_VT(url) : 0xFFFF);
        return E_INVALIDARG;
    }
    StandInLog::Write(L"Navigate2", L"obj=%u url=%ls", serial, target.c_str());
    StartNavigation(target);
    return S_OK;
}

// The page zoom as the control documents it: a VT_I4 from 10 to 1000 percent, applied to the
// document shown; there is none to zoom before the first navigation completes.
HRESULT STDMETHODCALLTYPE StandInBrowser::ExecWB(OLECMDID command, OLECMDEXECOPT, VARIANT* in, VARIANT*)
{
    if (command != OLECMDID_OPTICAL_ZOOM) {
        return NotImplemented(L"ExecWB");
    }
    bool valid = in != nullptr && V_VT(in) == VT_I4 && V_I4(in) >= 10 && V_I4(in) <= 1000;
    HRESULT result = !valid ? E_INVALIDARG : address.empty() ? OLECMDERR_E_DISABLED : S_OK;
    if (result == S_OK) {
        zoom = V_I4(in);
        window.ShowAddress(address);
    }
    StandInLog::Write(L"Zoom", L"obj=%u asked=%ld result=0x%08lx percent=%ld url=%ls", serial,
        in != nullptr && V_VT(in) == VT_I4 ? static_cast<long>(V_I4(in)) : -1L, result, zoom, address.c_str());
    return result;
}

HRESULT STDMETHODCALLTYPE StandInBrowser::get_ReadyState(READYSTATE* value)
{
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = READYSTATE_COMPLETE;
    return S_OK;
}
