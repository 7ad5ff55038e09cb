// What a browser event means to the windows.
#pragma once

// The callback that receives it is declared with the web-view operations (toolkit/WindManager.h).
enum WebViewEvent : int {
    DocumentComplete = 1,
    NavigateComplete = 2,
    NewWindow = 3,
    // The page itself, not one of its frames, could not be loaded; the control's own error page
    // was refused. The status says why.
    NavigateError = 4,
};
