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

const ULONG_PTR NavigateRequest = 1;
const ULONG_PTR NewWindow3Request = 2;
const ULONG_PTR NewWindow2Request = 3;
const ULONG_PTR WindowClosingRequest = 4;
const ULONG_PTR BeforeNavigateRequest = 5;
const ULONG_PTR SecurityProbeRequest = 6;
const ULONG_PTR NavigateErrorRequest = 7;
// The page's alert(): the stand-in answers as the box appears, not when it is answered.
const ULONG_PTR AlertRequest = 8;
// The page's window.stop(), or Escape: a navigation under way ends, and DownloadComplete follows.
const ULONG_PTR StopRequest = 9;
// Text the player copies from the page: put on the clipboard as the control does.
const ULONG_PTR CopyRequest = 10;
const ULONG_PTR Reply = 100;

}
