#pragma once

#include "DelegatingPart.h"

#include <windows.h>
#include <ole2.h>
#include <mshtmhst.h>

class StandInBrowser;

// IOleObject of the stand-in, and the in-place activation it drives: the
// site, the frame and the stand-in's window inside the site's window.
class OleObjectPart : public DelegatingPart<IOleObject, StandInBrowser> {
public:
    explicit OleObjectPart(StandInBrowser& owner);

    bool IsInPlaceActive() const;
    HRESULT UIActivate();
    HRESULT UIDeactivate();
    HRESULT InPlaceDeactivate();
    HRESULT SetObjectRects(LPCRECT position, LPCRECT clip);
    void ReleaseAll();
    // The site had been set and was taken away again.
    bool SiteCleared() const;
    // Offers a key message to the host's IDocHostUIHandler first, as an HTML control does.
    bool HostTranslatesAccelerator(MSG* message);
    // As an HTML control does for each new document: asks the host's IDocHostUIHandler how to
    // show it, and logs the flags as `HostInfo`.
    void AskHostInfo();
    // The site's IDocHostUIHandler and the frame of the in-place activation, each with a reference
    // for the caller, or null.
    IDocHostUIHandler* UiHandler();
    IOleInPlaceFrame* Frame();

    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, WINBOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
        HWND parent, LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* userType) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

private:
    HRESULT InPlaceActivate(IOleClientSite* activeSite, HWND parent, LPCRECT position, bool withUi);

    IOleClientSite* clientSite;
    IOleInPlaceSite* inPlaceSite;
    IOleInPlaceFrame* frame;
    IOleInPlaceUIWindow* uiWindow;
    IOleAdviseHolder* adviseHolder;
    SIZEL extent;
    bool uiActive;
    bool siteCleared;
};
