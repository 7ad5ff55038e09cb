// One embedded browser: a popup host window holding the browser control, and its agent.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include "toolkit/ComPtr.h"

class WebViewEventAgent;

// The agent forwards the control's events. The record's lifetime is counted by its agent (see
// WebViewEventAgent).
class WebView {
public:
    WebView();
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    // The page zoom, in percent, given to the control (OLECMDID_OPTICAL_ZOOM).
    void ApplyZoom();

    HWND ownerWindow;
    // Holds an address only while a navigation is being started.
    VARIANT url;
    HWND hostWindow;
    ComPtr<IWebBrowser2> browser;
    // The control's identity: an event whose pDisp is this object concerns the page itself,
    // not one of its frames.
    ComPtr<IUnknown> control;
    WebViewEventAgent* eventAgent;
    ComPtr<IOleInPlaceActiveObject> inPlaceObject;
    // The agent's connection, undone when the web view is destroyed.
    ComPtr<IConnectionPoint> eventConnection;
    DWORD adviseCookie;
    int zoom;
};
