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
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IWebBrowser
    HRESULT STDMETHODCALLTYPE GoBack() override;
    HRESULT STDMETHODCALLTYPE GoForward() override;
    HRESULT STDMETHODCALLTYPE GoHome() override;
    HRESULT STDMETHODCALLTYPE GoSearch() override;
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
        VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Refresh2(VARIANT* level) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE get_Application(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_Container(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_Type(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* value) override;

    // IWebBrowserApp
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE ClientToWindow(int* cx, int* cy) override;
    HRESULT STDMETHODCALLTYPE PutProperty(BSTR property, VARIANT value) override;
    HRESULT STDMETHODCALLTYPE GetProperty(BSTR property, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* value) override;
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Path(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_StatusBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_StatusText(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_StatusText(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_ToolBar(int* value) override;
    HRESULT STDMETHODCALLTYPE put_ToolBar(int value) override;
    HRESULT STDMETHODCALLTYPE get_MenuBar(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_MenuBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FullScreen(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FullScreen(VARIANT_BOOL value) override;

    // IWebBrowser2
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
        VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE QueryStatusWB(OLECMDID command, OLECMDF* status) override;
    HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* value) override;
    HRESULT STDMETHODCALLTYPE get_Offline(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Offline(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Silent(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_RegisterAsBrowser(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_RegisterAsBrowser(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_RegisterAsDropTarget(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_RegisterAsDropTarget(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_TheaterMode(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_TheaterMode(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AddressBar(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AddressBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Resizable(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Resizable(VARIANT_BOOL value) override;

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
