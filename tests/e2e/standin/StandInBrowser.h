#pragma once

#include "ConnectionPointContainerPart.h"
#include "EventConnectionPoint.h"
#include "InPlaceActiveObjectPart.h"
#include "InPlaceObjectPart.h"
#include "OleObjectPart.h"
#include "StandInWindow.h"

#include "toolkit/ComObject.h"

#include <windows.h>
#include <exdisp.h>

#include <deque>
#include <map>
#include <string>

// The stand-in WebBrowser control. It owns the object identity and the
// reference count; the other interfaces are parts that delegate IUnknown here.
class StandInBrowser : public ComObject<IWebBrowser2> {
public:
    StandInBrowser();

    unsigned Serial() const;
    OleObjectPart& OleObject();
    StandInWindow& Window();
    const std::wstring& Address() const;
    long Zoom() const { return zoom; }

    // Queues an event for the host's message dispatch; replyWindow (may be null)
    // receives the outcome once the last event of the request is raised or dropped.
    void QueueNavigation(const std::wstring& address, HWND replyWindow);
    void QueueDocumentComplete(HWND replyWindow);
    void QueueNewWindow(DISPID dispid, const std::wstring& address, HWND replyWindow);
    void QueueWindowClosing(HWND replyWindow);
    // BeforeNavigate2 for the address, then the navigation unless the host cancelled it.
    void QueueBeforeNavigate(const std::wstring& address, HWND replyWindow);
    // Raises no event: asks the site what a page may do (SecurityProbe) from the host's dispatch.
    void QueueSecurityProbe(const std::wstring& actions, HWND replyWindow);
    // NavigateError for the address with the status, of the page itself or of a frame in it.
    void QueueNavigateError(const std::wstring& address, long status, bool frame, HWND replyWindow);
    // What the control does for a page's alert(text): EnableModeless(FALSE) on the site's
    // IDocHostUIHandler and on its frame, a message box owned by its root window, then
    // EnableModeless(TRUE) on both. The reply goes as the box appears.
    void QueueAlert(const std::wstring& text, HWND replyWindow);
    // The page's window.stop(): a stalled navigation ends, the control is no longer busy, and
    // DownloadComplete is raised, and nothing else.
    void QueueStop(HWND replyWindow);
    // The player copies the text from the page: OleSetClipboard with a data object of the control's.
    void QueueCopy(const std::wstring& text, HWND replyWindow);
    // The DocumentComplete that STANDIN_SLOW held back, now due.
    void QueueSlowDocument();
    void PostPendingEvents();
    void RaiseNextEvent();
    void DropPendingEvents();

    // Faults of a host that a forgiving control lets pass: each is logged as `Fault`.
    void EnterEvent();
    void LeaveEvent();
    bool InEvent() const;
    // While its modal UI shows, the platform's control must not be closed, deactivated or lose its site.
    bool InModalUi() const { return modalDepth > 0; }
    void CheckModalUi(const wchar_t* call) const;
    // A call that arrives after the host ended OLE on its thread.
    void CheckApartment(const wchar_t* call) const;

    // IUnknown, each call checked against OLE's state on the thread.
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return NotImplemented(L"GetTypeInfo"); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return NotImplemented(L"GetIDsOfNames");
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IWebBrowser
    STDMETHODIMP GoBack() override { return NotImplemented(L"GoBack"); }
    STDMETHODIMP GoForward() override { return NotImplemented(L"GoForward"); }
    STDMETHODIMP GoHome() override { return NotImplemented(L"GoHome"); }
    STDMETHODIMP GoSearch() override { return NotImplemented(L"GoSearch"); }
    STDMETHODIMP Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
        VARIANT* headers) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Refresh2(VARIANT* level) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP get_Application(IDispatch**) override { return NotImplemented(L"get_Application"); }
    STDMETHODIMP get_Parent(IDispatch**) override { return NotImplemented(L"get_Parent"); }
    STDMETHODIMP get_Container(IDispatch**) override { return NotImplemented(L"get_Container"); }
    STDMETHODIMP get_Document(IDispatch**) override { return NotImplemented(L"get_Document"); }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return NotImplemented(L"get_TopLevelContainer"); }
    STDMETHODIMP get_Type(BSTR*) override { return NotImplemented(L"get_Type"); }
    STDMETHODIMP get_Left(LONG*) override { return NotImplemented(L"get_Left"); }
    STDMETHODIMP put_Left(LONG) override { return NotImplemented(L"put_Left"); }
    STDMETHODIMP get_Top(LONG*) override { return NotImplemented(L"get_Top"); }
    STDMETHODIMP put_Top(LONG) override { return NotImplemented(L"put_Top"); }
    STDMETHODIMP get_Width(LONG*) override { return NotImplemented(L"get_Width"); }
    STDMETHODIMP put_Width(LONG) override { return NotImplemented(L"put_Width"); }
    STDMETHODIMP get_Height(LONG*) override { return NotImplemented(L"get_Height"); }
    STDMETHODIMP put_Height(LONG) override { return NotImplemented(L"put_Height"); }
    STDMETHODIMP get_LocationName(BSTR* value) override;
    STDMETHODIMP get_LocationURL(BSTR* value) override;
    STDMETHODIMP get_Busy(VARIANT_BOOL* value) override;

    // IWebBrowserApp
    STDMETHODIMP Quit() override { return NotImplemented(L"Quit"); }
    STDMETHODIMP ClientToWindow(int*, int*) override { return NotImplemented(L"ClientToWindow"); }
    STDMETHODIMP PutProperty(BSTR, VARIANT) override { return NotImplemented(L"PutProperty"); }
    STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return NotImplemented(L"GetProperty"); }
    STDMETHODIMP get_Name(BSTR*) override { return NotImplemented(L"get_Name"); }
    STDMETHODIMP get_HWND(SHANDLE_PTR* value) override;
    STDMETHODIMP get_FullName(BSTR*) override { return NotImplemented(L"get_FullName"); }
    STDMETHODIMP get_Path(BSTR*) override { return NotImplemented(L"get_Path"); }
    STDMETHODIMP get_Visible(VARIANT_BOOL*) override { return NotImplemented(L"get_Visible"); }
    STDMETHODIMP put_Visible(VARIANT_BOOL) override { return NotImplemented(L"put_Visible"); }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return NotImplemented(L"get_StatusBar"); }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return NotImplemented(L"put_StatusBar"); }
    STDMETHODIMP get_StatusText(BSTR*) override { return NotImplemented(L"get_StatusText"); }
    STDMETHODIMP put_StatusText(BSTR) override { return NotImplemented(L"put_StatusText"); }
    STDMETHODIMP get_ToolBar(int*) override { return NotImplemented(L"get_ToolBar"); }
    STDMETHODIMP put_ToolBar(int) override { return NotImplemented(L"put_ToolBar"); }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return NotImplemented(L"get_MenuBar"); }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return NotImplemented(L"put_MenuBar"); }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return NotImplemented(L"get_FullScreen"); }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return NotImplemented(L"put_FullScreen"); }

    // IWebBrowser2
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
        VARIANT* headers) override;
    STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return NotImplemented(L"QueryStatusWB"); }
    STDMETHODIMP ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    STDMETHODIMP ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return NotImplemented(L"ShowBrowserBar"); }
    STDMETHODIMP get_ReadyState(READYSTATE* value) override;
    STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return NotImplemented(L"get_Offline"); }
    STDMETHODIMP put_Offline(VARIANT_BOOL) override { return NotImplemented(L"put_Offline"); }
    STDMETHODIMP get_Silent(VARIANT_BOOL*) override { return NotImplemented(L"get_Silent"); }
    STDMETHODIMP put_Silent(VARIANT_BOOL) override { return NotImplemented(L"put_Silent"); }
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return NotImplemented(L"get_RegisterAsBrowser"); }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return NotImplemented(L"put_RegisterAsBrowser"); }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override
    {
        return NotImplemented(L"get_RegisterAsDropTarget");
    }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return NotImplemented(L"put_RegisterAsDropTarget"); }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return NotImplemented(L"get_TheaterMode"); }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return NotImplemented(L"put_TheaterMode"); }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return NotImplemented(L"get_AddressBar"); }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return NotImplemented(L"put_AddressBar"); }
    STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return NotImplemented(L"get_Resizable"); }
    STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return NotImplemented(L"put_Resizable"); }

private:
    struct PendingEvent {
        DISPID dispid;
        std::wstring address;
        HWND replyWindow;
        bool lastOfRequest;
        long status = 0;
        bool frame = false;
    };

    ~StandInBrowser() override;
    void* Find(REFIID riid) override;
    HRESULT NotImplemented(const wchar_t* name);
    void Queue(DISPID dispid, const std::wstring& address, HWND replyWindow, bool lastOfRequest);
    // Navigate and Navigate2: queued, or raised at once when the address asks for it.
    void StartNavigation(const std::wstring& address);
    void Raise(const PendingEvent& event);
    void RaiseAddressEvent(DISPID dispid, const wchar_t* name, const std::wstring& address, std::wstring& report);
    void RaiseNewWindow(DISPID dispid, const std::wstring& address, std::wstring& report);
    int RaiseCancellable(DISPID dispid, VARIANT_BOOL& cancel);
    void RaiseWindowClosing(std::wstring& report);
    bool RaiseBeforeNavigate(const std::wstring& address, std::wstring& report);
    void RaiseNavigateError(const PendingEvent& event, std::wstring& report);
    void RaiseFileDownload(const std::wstring& address, std::wstring& report);
    void RaiseAlert(const PendingEvent& event);
    void Report(const PendingEvent& event, const std::wstring& text);
    void ReportDropped(const PendingEvent& event);

    // Calls made to the object while it tears down must not delete it again.
    bool tearingDown;
    unsigned serial;
    std::wstring address;
    // The page zoom of the document shown, in percent; a new document starts at 100.
    long zoom;
    std::deque<PendingEvent> pending;
    std::deque<PendingEvent> droppedWhileRaising;
    bool raising;
    int eventDepth;
    int modalDepth;
    // A navigation STANDIN_STALL stalls is under way: get_Busy answers true.
    bool busy;
    // The address whose DocumentComplete STANDIN_SLOW holds back.
    std::wstring slowDocument;
    std::map<HWND, std::wstring> reports;
    OleObjectPart oleObject;
    InPlaceObjectPart inPlaceObject;
    InPlaceActiveObjectPart inPlaceActiveObject;
    ConnectionPointContainerPart connectionPointContainer;
    EventConnectionPoint eventConnectionPoint;
    StandInWindow window;
};
