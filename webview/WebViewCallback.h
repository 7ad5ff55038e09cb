#pragma once

// What a browser event means to the windows; the callback that receives it is declared with the
// web-view operations (toolkit/WindManager.h).
enum WebViewEvent : int {
    DocumentComplete = 1,
    NavigateComplete = 2,
    NewWindow = 3,
};
