// The web view record: what it holds, and the zoom of its page.
#include "webview/WebView.h"

WebView::WebView()
    : ownerWindow(nullptr)
    , hostWindow(nullptr)
    , eventAgent(nullptr)
    , adviseCookie(0)
    , zoom(100)
{
    VariantInit(&url);
}

void WebView::ApplyZoom()
{
    if (!browser)
        return;
    VARIANT percent;
    VariantInit(&percent);
    percent.vt = VT_I4;
    percent.lVal = zoom;
    // OLECMDIDF_OPTICAL_ZOOM_NOPERSIST would keep the control from storing this zoom for other
    // documents and browsers, but its documentation does not say in which argument it goes.
    browser->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &percent, nullptr);
}

WebView::~WebView()
{
    VariantClear(&url);
}
