// The client site of one hosted control, and the parts that answer for it.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>

#include "toolkit/ComObject.h"
#include "toolkit/ComPtr.h"
#include "webview/AxCommandTarget.h"
#include "webview/AxInPlaceFrame.h"
#include "webview/AxInPlaceSite.h"
#include "webview/AxSecurityManager.h"
#include "webview/AxServiceProvider.h"
#include "webview/AxUIHandler.h"

// Its parts answer for the in-place site, the frame, the HTML host interfaces, the command
// target and the security service; they all share this object's one reference count, and the
// object deletes itself when it reaches zero. The host window holds one reference, the control
// another while it is attached.
class AxHost final : public ComObject<IOleClientSite> {
public:
    // A new host for the window with one reference, or null when there is no memory.
    static AxHost* Create(HWND window);

    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // Creates the control of the ProgID and activates it in place over the whole client area.
    // A host holds one control at most.
    HRESULT CreateControl(const wchar_t* progId);
    // The control's IUnknown with a reference for the caller, or null.
    IUnknown* GetControl();
    // Lets the control go in the order controls expect; the host is empty afterwards.
    void DestroyControl();

    void FitControl();
    // UI-activates the control, which takes the keyboard focus with its caret and accelerators.
    void FocusControl();
    // Tells the active object that the host's window, its frame, was activated or deactivated.
    void OnFrameActivate(bool active);

    HWND HostWindow() const { return window; }
    void OnInPlaceActivate();
    void OnInPlaceDeactivate();
    void SetActiveObject(IOleInPlaceActiveObject* object);

    // The control's modal UI (a page's alert, confirm or prompt, its own dialogs), announced by
    // EnableModeless of its UI handler and of its frame alike: counted, so that nested UI and both
    // announcements of one UI end together. From the first FALSE to the last TRUE the window that
    // owns the host is disabled, as a dialog disables its owner; a TRUE without a FALSE is ignored.
    void EnableModeless(bool enable);
    bool InModalUi() const { return modalDepth > 0; }
    // Told true as the modal UI begins and false as it ends, until the control is let go.
    void SetModalUiListener(std::function<void(bool)> listener) { modalUiListener = std::move(listener); }

private:
    explicit AxHost(HWND window);
    // Ends the count and enables the owner again: the UI has ended, or the control went first.
    void EndModalUi();
    ~AxHost() override;
    void* Find(REFIID iid) override;

    HWND window;
    ComPtr<IOleObject> control;
    ComPtr<IOleInPlaceObject> inPlaceObject;
    // Set while the control is UI-active.
    ComPtr<IOleInPlaceActiveObject> activeObject;
    int modalDepth;
    // The owner this host disabled for the modal UI, enabled again when it ends or the control goes.
    HWND disabledOwner;
    std::function<void(bool)> modalUiListener;
    AxInPlaceSite inPlaceSite;
    AxInPlaceFrame inPlaceFrame;
    AxUIHandler uiHandler;
    AxCommandTarget commandTarget;
    AxServiceProvider serviceProvider;
    AxSecurityManager securityManager;
};
