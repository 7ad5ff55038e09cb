// The toolkit's one object: GDI+, resources, popups, layered-window calls and web views.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "toolkit/WndProcBinding.h"

class WebView;
// Defined with the web views (webview/WebViewCallback.h).
enum WebViewEvent : int;

// Receives a web view's events. The address belongs to the browser and is valid only
// during the call. For NewWindow, answering true cancels the browser's own window. The status
// is NavigateError's: an HRESULT (negative) or an HTTP status of 400 or more, and
// INET_E_CONNECTION_TIMEOUT for a page that did not complete in time; 0 for the other kinds.
typedef bool (*WebViewCallback)(CallbackBase* owner, WebViewEvent kind, WebView* webView, const wchar_t* url,
    long status);

typedef std::unique_ptr<Gdiplus::Image> ImagePtr;

typedef BOOL(WINAPI* UpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL(WINAPI* UpdateLayeredWindowIndirectProc)(HWND, const UPDATELAYEREDWINDOWINFO*);

// The process-wide toolkit: GDI+ for the whole process, PNG resources, the layered-window
// entry points, the popup window class and the embedded web views.
class WindManager {
public:
    // Built on first use; GDI+ is shut down when the run-time's exit handlers run.
    static WindManager* Instance();

    // A new image decoded from a resource of this module, or null when there is no such resource.
    ImagePtr LoadPngResource(WORD id, const wchar_t* type);
    // Whether LoadPngResource would find a resource of that id and type that is not empty.
    bool HasResource(WORD id, const wchar_t* type) const;
    // A PNG resource's width and height, read from its header without decoding it, and where
    // asked, its place on a larger canvas that its oFFs chunk gives, else (0, 0).
    bool PngResourceSize(WORD id, const wchar_t* type, SIZE& size, POINT* offset = nullptr) const;

    bool UpdateLayered(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
        POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);
    bool SetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
    // UpdateLayeredWindowIndirect, which can update part of a window; false when the system
    // has no such entry point.
    bool UpdateLayeredIndirect(HWND window, const UPDATELAYEREDWINDOWINFO* info);
    bool HasUpdateLayeredIndirect() const { return updateLayeredWindowIndirect != nullptr; }

    // Tests and benchmarks watch or stub the layered-window calls through these.
    void SetLayeredEntryPoints(UpdateLayeredWindowProc update, SetLayeredWindowAttributesProc attributes);
    UpdateLayeredWindowProc GetUpdateLayeredEntryPoint() const { return updateLayeredWindow; }
    SetLayeredWindowAttributesProc GetSetLayeredAttributesEntryPoint() const { return setLayeredWindowAttributes; }
    void SetUpdateLayeredIndirectEntryPoint(UpdateLayeredWindowIndirectProc indirect);
    UpdateLayeredWindowIndirectProc GetUpdateLayeredIndirectEntryPoint() const { return updateLayeredWindowIndirect; }

    int ScreenWidth() const;
    int ScreenHeight() const;

    HWND CreatePopupWindow(const wchar_t* title, int x, int y, int width, int height, WndProcHandler handler,
        CallbackBase* owner, COLORREF colour, HWND parent);
    // The launcher's icon, that of its windows, at a size in pixels (the nearest of its images,
    // scaled if need be); the caller destroys it.
    HICON LoadAppIcon(int size) const;

    WebView* CreateWebView(int x, int y, int width, int height, HWND ownerWindow, const wchar_t* url,
        CallbackBase* callbackOwner, WebViewCallback callback);
    void DestroyWebView(WebView* webView);
    HWND GetWebViewWindow(WebView* webView);
    bool MoveWebView(WebView* webView, int x, int y, int width, int height, bool repaint);
    bool SetWebViewCallback(WebView* webView, CallbackBase* callbackOwner, WebViewCallback callback);
    // Offers a key message to the control first; true when the control handled it.
    bool TranslateWebViewAccelerator(WebView* webView, MSG* message);
    // Without the cache, the page and everything it loads are fetched again from their servers.
    void RefreshWebView(WebView* webView, bool bypassCache = false);
    // Navigates again with Navigate2, as at creation: a page that does not complete in time counts as failed.
    void NavigateWebView(WebView* webView, const wchar_t* url);
    // Lays the page out at a zoom (percent; 100 at 96 DPI), now and after each document of the
    // page itself completes.
    void SetWebViewZoom(WebView* webView, int percent);
    // Whether a navigation of the page itself has started and has neither completed nor failed.
    bool IsWebViewNavigating(WebView* webView);
    // Whether the control shows its modal UI (a page's alert, confirm or prompt, its own dialogs),
    // during which nothing may close, deactivate or release it; the owner window is disabled then.
    bool IsWebViewInModalUi(WebView* webView);

    HINSTANCE Module() const { return module; }

private:
    WindManager();
    ~WindManager();
    WindManager(const WindManager&) = delete;
    WindManager& operator=(const WindManager&) = delete;

    // A resource's bytes and size, or null when there is none or it is empty.
    const BYTE* ResourceBytes(WORD id, const wchar_t* type, DWORD& size) const;

    HINSTANCE module;
    ULONG_PTR gdiplusToken;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    UpdateLayeredWindowProc updateLayeredWindow;
    SetLayeredWindowAttributesProc setLayeredWindowAttributes;
    UpdateLayeredWindowIndirectProc updateLayeredWindowIndirect;
};
