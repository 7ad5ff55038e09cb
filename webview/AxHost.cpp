// The site of one hosted control: creating, activating, fitting and letting go of it.
#include "webview/AxHost.h"

#include <new>

AxHost* AxHost::Create(HWND window)
{
    return new (std::nothrow) AxHost(window);
}

AxHost::AxHost(HWND window)
    : window(window)
    , modalDepth(0)
    , disabledOwner(nullptr)
    , inPlaceSite(this)
    , inPlaceFrame(this)
    , uiHandler(this)
    , commandTarget(this)
    , serviceProvider(this)
    , securityManager(this)
{
}

AxHost::~AxHost()
{
    modalUiListener = nullptr;
    EndModalUi();
}

// The parts answer with this object's identity and count.
void* AxHost::Find(REFIID iid)
{
    if (IsEqualIID(iid, IID_IOleClientSite))
        return static_cast<IOleClientSite*>(this);
    if (IsOneOf(iid, {&IID_IOleWindow, &IID_IOleInPlaceSite}))
        return static_cast<IOleInPlaceSite*>(&inPlaceSite);
    if (IsOneOf(iid, {&IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame}))
        return static_cast<IOleInPlaceFrame*>(&inPlaceFrame);
    if (IsEqualIID(iid, IID_IDocHostUIHandler))
        return static_cast<IDocHostUIHandler*>(&uiHandler);
    if (IsEqualIID(iid, IID_IOleCommandTarget))
        return static_cast<IOleCommandTarget*>(&commandTarget);
    if (IsEqualIID(iid, IID_IServiceProvider))
        return static_cast<IServiceProvider*>(&serviceProvider);
    if (IsEqualIID(iid, IID_IInternetSecurityManager))
        return static_cast<IInternetSecurityManager*>(&securityManager);
    return nullptr;
}

STDMETHODIMP AxHost::SaveObject()
{
    return E_NOTIMPL;
}

STDMETHODIMP AxHost::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP AxHost::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP AxHost::ShowObject()
{
    return S_OK;
}

STDMETHODIMP AxHost::OnShowWindow(BOOL)
{
    return S_OK;
}

STDMETHODIMP AxHost::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

HRESULT AxHost::CreateControl(const wchar_t* progId)
{
    if (!progId)
        return E_INVALIDARG;
    if (control)
        return E_UNEXPECTED;
    CLSID classId;
    HRESULT result = CLSIDFromProgID(progId, &classId);
    if (FAILED(result))
        return result;
    ComPtr<IOleObject> created;
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
        created.PutVoid());
    if (FAILED(result))
        return result;

    // Some controls need their site before they are initialised, the others after.
    DWORD status = 0;
    created->GetMiscStatus(DVASPECT_CONTENT, &status);
    bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        created->SetClientSite(this);
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(created->QueryInterface(IID_IPersistStreamInit, persist.PutVoid())))
        persist->InitNew();
    if (!siteFirst)
        created->SetClientSite(this);

    // Activation calls back into the site, which already needs the control.
    control.Attach(created.Detach());
    RECT area;
    GetClientRect(window, &area);
    result = control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window, &area);
    // A host that was focused before it had a control hands the focus on now.
    if (GetFocus() == window)
        FocusControl();
    return result;
}

IUnknown* AxHost::GetControl()
{
    IUnknown* unknown = nullptr;
    if (control)
        control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
    return unknown;
}

void AxHost::DestroyControl()
{
    // A control let go inside its own modal UI leaves no window of the launcher disabled.
    modalUiListener = nullptr;
    EndModalUi();
    // The host advises nothing on the control, so there is nothing to unadvise. The control
    // reports its in-place deactivation back to the site while it runs: hold the reference here.
    activeObject.Reset();
    ComPtr<IOleInPlaceObject> active;
    active.Attach(inPlaceObject.Detach());
    if (active) {
        active->UIDeactivate();
        active->InPlaceDeactivate();
    }
    active.Reset();
    ComPtr<IOleObject> closing;
    closing.Attach(control.Detach());
    if (closing) {
        closing->Close(OLECLOSE_NOSAVE);
        closing->SetClientSite(nullptr);
    }
}

void AxHost::FitControl()
{
    if (!inPlaceObject)
        return;
    RECT area;
    GetClientRect(window, &area);
    inPlaceObject->SetObjectRects(&area, &area);
}

void AxHost::FocusControl()
{
    if (!control)
        return;
    RECT area;
    GetClientRect(window, &area);
    control->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, window, &area);
    // A control that was UI-active already may leave the focus where it is.
    HWND controlWindow = nullptr;
    if (GetFocus() == window && inPlaceObject && SUCCEEDED(inPlaceObject->GetWindow(&controlWindow)) && controlWindow)
        SetFocus(controlWindow);
    // Activated before the control became the active object, the frame was not reported then.
    if (GetActiveWindow() == window)
        OnFrameActivate(true);
}

void AxHost::OnFrameActivate(bool active)
{
    if (activeObject)
        activeObject->OnFrameWindowActivate(active ? TRUE : FALSE);
}

void AxHost::OnInPlaceActivate()
{
    if (control && !inPlaceObject)
        control->QueryInterface(IID_IOleInPlaceObject, inPlaceObject.PutVoid());
}

void AxHost::OnInPlaceDeactivate()
{
    activeObject.Reset();
    inPlaceObject.Reset();
}

void AxHost::SetActiveObject(IOleInPlaceActiveObject* object)
{
    if (object)
        object->AddRef();
    activeObject.Attach(object);
}

void AxHost::EnableModeless(bool enable)
{
    if (!enable) {
        if (modalDepth++ > 0)
            return;
        if (modalUiListener)
            modalUiListener(true);
        // A host whose owner is disabled already (by the system or another dialog) leaves it to them.
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner && IsWindowEnabled(owner)) {
            disabledOwner = owner;
            EnableWindow(owner, FALSE);
        }
        return;
    }
    if (modalDepth == 0 || --modalDepth > 0)
        return;
    EndModalUi();
}

void AxHost::EndModalUi()
{
    // Counted out before the owner hears WM_ENABLE, so that it finds the UI ended.
    bool ended = modalDepth > 0;
    modalDepth = 0;
    if (ended && modalUiListener)
        modalUiListener(false);
    HWND owner = disabledOwner;
    disabledOwner = nullptr;
    if (owner && IsWindow(owner))
        EnableWindow(owner, TRUE);
}
