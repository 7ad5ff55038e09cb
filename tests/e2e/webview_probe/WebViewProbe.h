#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/WindManager.h"
#include "webview/WebViewCallback.h"
#include "toolkit/CallbackBase.h"

// Drives the web-view operations of WindManager against whatever control the prefix registers
// for the browser's ProgID, and reports each step and each callback on standard output as one
// tab-separated record a line: "step\tname=...\t..." and "callback\tview=N\tkind=K\tanswer=A\turl=U".
class WebViewProbe : public CallbackBase {
public:
    // How a web view is bound: a callback answering true or false, or no callback at all.
    enum Binding { AnswerTrue, AnswerFalse, Unbound };

    struct ViewRequest {
        Binding binding = AnswerFalse;
        std::wstring url;
    };

    // Web views side by side, each navigated to its address; events are reported until a bound
    // one completes a navigation to an address containing "/quit". Then all are destroyed.
    int RunViews(const std::vector<ViewRequest>& requests);
    // One web view at a time, destroyed by its own callback inside NavigateComplete2, `cycles` times.
    int RunCycles(int cycles, const std::wstring& baseUrl);
    // One web view whose callback destroys it inside a NavigateComplete2 raised before
    // CreateWebView returns (the stand-in does so for addresses containing "#raise-now").
    int RunDestroyInCreate(const std::wstring& url);
    // Keyboard translation and refresh once the start page is complete.
    int RunKeys(const std::wstring& url);

private:
    struct View {
        int number;
        WebView* webView;
        Binding binding;
    };

    static bool OnEvent(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url, long status);
    bool HandleEvent(WebViewEvent kind, WebView* webView, const wchar_t* url);

    // Index of the new view in `views`, or -1 when the web view has no host window.
    int AddView(Binding binding, const std::wstring& url, int slot);
    void DestroyView(View& view);
    void DestroyAll();
    // Pumps the thread's messages with GetMessageW until the condition holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
    // Every control let go and OLE uninitialised as often as it was initialised: nothing keeps
    // an apartment on this thread any more.
    bool Finish();

    std::vector<View> views;
    bool destroyOnNavigate = false;
    bool creating = false;
    int destroyedWhileCreating = 0;
    bool quitRequested = false;
    int documentCompletes = 0;
};
