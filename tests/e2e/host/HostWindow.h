#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <vector>

class HostSite;

// A top-level window that embeds the control registered for the browser
// ProgID the plainest way: site, in-place activation, event sinks, Navigate2.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();

    bool Create(const RECT& position);
    bool Embed(int sinkCount, bool cancelAnswer, const std::wstring& closePattern, const std::wstring& address);
    // Unadvises, closes and releases the control and destroys the window; safe inside an event.
    void Close();
    // Runs the message loop until the window is gone; answers the WM_QUIT code.
    int Run();
    // Whether an event's sender is the control itself (the same COM identity), not a frame of it.
    bool IsControl(IDispatch* sender) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window;
    HostSite* site;
    IOleObject* oleObject;
    IWebBrowser2* browser;
    IOleInPlaceObject* inPlaceObject;
    IOleInPlaceActiveObject* activeObject;
    IConnectionPoint* connectionPoint;
    std::vector<DWORD> cookies;
};
