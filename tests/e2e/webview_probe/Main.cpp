// Drives the program's web-view operations in the end-to-end prefix.
//
//   webview_probe views BINDING=URL...   BINDING: true, false (the callback's answer) or unbound
//   webview_probe cycles N URL           destroy each web view inside its NavigateComplete2, N times
//   webview_probe keys URL               keyboard translation and refresh
//   webview_probe destroy-in-create URL  destroy the web view inside a NavigateComplete2 raised
//                                        before CreateWebView returns
//
// Exit codes: 0 done, 1 usage, 2 no host window, 3 an awaited event did not come,
// 4 a control was still held when the probe ended, 5 CreateWebView returned a web view
// its callback had destroyed.

#include <cwchar>
#include <string>
#include <vector>

#include "../ctl/ConsoleOutput.h"
#include "WebViewProbe.h"

namespace {

int Usage()
{
    ConsoleOutput::Error(L"usage: webview_probe views (true|false|unbound)=URL... | cycles N URL | keys URL"
                         L" | destroy-in-create URL");
    return 1;
}

bool ParseRequest(const std::wstring& text, WebViewProbe::ViewRequest& request)
{
    size_t equals = text.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    std::wstring binding = text.substr(0, equals);
    request.url = text.substr(equals + 1);
    if (binding == L"true")
        request.binding = WebViewProbe::AnswerTrue;
    else if (binding == L"false")
        request.binding = WebViewProbe::AnswerFalse;
    else if (binding == L"unbound")
        request.binding = WebViewProbe::Unbound;
    else
        return false;
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    std::wstring mode = argv[1];
    WebViewProbe probe;
    if (mode == L"views") {
        std::vector<WebViewProbe::ViewRequest> requests;
        for (int i = 2; i < argc; ++i) {
            WebViewProbe::ViewRequest request;
            if (!ParseRequest(argv[i], request))
                return Usage();
            requests.push_back(request);
        }
        return probe.RunViews(requests);
    }
    if (mode == L"cycles" && argc == 4) {
        int cycles = _wtoi(argv[2]);
        return cycles > 0 ? probe.RunCycles(cycles, argv[3]) : Usage();
    }
    if (mode == L"keys" && argc == 3)
        return probe.RunKeys(argv[2]);
    if (mode == L"destroy-in-create" && argc == 3)
        return probe.RunDestroyInCreate(argv[2]);
    return Usage();
}
