#pragma once

class CallbackBase;
class WebView;

// What a browser event means to the windows.
enum WebViewEvent {
    DocumentComplete = 1,
    NavigateComplete = 2,
    NewWindow = 3,
};

// Receives a web view's events. The address belongs to the browser and is valid only
// during the call. For NewWindow, answering true cancels the browser's own window.
typedef bool (*WebViewCallback)(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url);
