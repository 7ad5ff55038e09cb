// The frame a control sees when it activates.
#pragma once

#include <ole2.h>

#include "webview/AxHostPart.h"

class AxHost;

// The host window, with no menus, toolbars or status bar to share. It tells the host which
// object is active.
class AxInPlaceFrame : public AxHostPart<IOleInPlaceFrame> {
public:
    explicit AxInPlaceFrame(AxHost* host);

    STDMETHODIMP GetWindow(HWND* frameWindow) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    STDMETHODIMP GetBorder(RECT* border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* activeObject, LPCOLESTR name) override;

    STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObjectWindow) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, WORD id) override;

private:
    AxHost* host;
};
