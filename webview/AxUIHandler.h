// What an HTML control asks its host about its look and its user interface.
#pragma once

#include <windows.h>
#include <mshtmhst.h>

#include "webview/AxHostPart.h"

class AxHost;

// The page fills the window without a sunken border, only the page's keys are the control's
// (PageKeys), only text fields have a context menu, the control's modal UI disables the launcher's
// window (AxHost::EnableModeless), and everything else is the control's own default.
class AxUIHandler : public AxHostPart<IDocHostUIHandler> {
public:
    explicit AxUIHandler(AxHost* host);

    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* commands, IDispatch* element) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commands,
        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD reserved, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* data, IDataObject** filtered) override;

private:
    AxHost* host;
};
