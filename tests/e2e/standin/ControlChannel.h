#pragma once

#include <windows.h>

// The WM_COPYDATA protocol between standinctl and the stand-in windows.
// A request carries the requester's reply window in wParam and an address
// (UTF-16, not terminated) as data; the stand-in answers once the event has
// been raised from its own message dispatch, with a tab-separated text. A NavigateError
// request carries "<status in decimal> <1 for a frame, 0 for the page> <address>".
namespace ControlChannel {

const wchar_t WindowClass[] = L"StandInBrowser";
const wchar_t ReplyClass[] = L"StandInCtlReply";

// What a request asks, as the data's dwData.
enum Request : ULONG_PTR {
    NavigateRequest = 1,
    NewWindow3Request,
    NewWindow2Request,
    WindowClosingRequest,
    BeforeNavigateRequest,
    SecurityProbeRequest,
    NavigateErrorRequest,
    // The page's alert(): the stand-in answers as the box appears, not when it is answered.
    AlertRequest,
    // The page's window.stop(), or Escape: a navigation under way ends, and DownloadComplete follows.
    StopRequest,
    // Text the player copies from the page: put on the clipboard as the control does.
    CopyRequest,
};
const ULONG_PTR Reply = 100;

}
