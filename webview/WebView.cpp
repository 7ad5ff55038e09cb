#include "webview/WebView.h"

WebView::WebView()
    : ownerWindow(nullptr)
    , hostWindow(nullptr)
    , eventAgent(nullptr)
    , adviseCookie(0)
{
    VariantInit(&url);
}

WebView::~WebView()
{
    VariantClear(&url);
}
