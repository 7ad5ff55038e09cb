#include "OleObjectPart.h"

#include "ComPointers.h"
#include "StandInBrowser.h"
#include "StandInLog.h"
#include "StandInModule.h"

#include <mshtmhst.h>

OleObjectPart::OleObjectPart(StandInBrowser& owner)
    : DelegatingPart(owner),
      clientSite(nullptr),
      inPlaceSite(nullptr),
      frame(nullptr),
      uiWindow(nullptr),
      adviseHolder(nullptr),
      extent{0, 0},
      uiActive(false),
      siteCleared(false)
{
}

void OleObjectPart::ReleaseAll()
{
    InPlaceDeactivate();
    ReleaseAndClear(clientSite);
    ReleaseAndClear(adviseHolder);
}

bool OleObjectPart::SiteCleared() const
{
    return siteCleared;
}

bool OleObjectPart::HostTranslatesAccelerator(MSG* message)
{
    // The command group an HTML control passes with it.
    static const GUID htmlCommands = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    IDocHostUIHandler* handler = nullptr;
    if (clientSite == nullptr
        || FAILED(clientSite->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)))
        || handler == nullptr) {
        return false;
    }
    bool handled = handler->TranslateAccelerator(message, &htmlCommands, 0) == S_OK;
    handler->Release();
    return handled;
}

void OleObjectPart::AskHostInfo()
{
    IDocHostUIHandler* handler = nullptr;
    if (clientSite == nullptr
        || FAILED(clientSite->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)))
        || handler == nullptr) {
        return;
    }
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof(info);
    HRESULT result = handler->GetHostInfo(&info);
    handler->Release();
    StandInLog::Write(L"HostInfo", L"obj=%u result=0x%08lx flags=0x%08lx dpiaware=%d theme=%d", owner.Serial(),
        result, info.dwFlags, (info.dwFlags & DOCHOSTUIFLAG_DPI_AWARE) != 0 ? 1 : 0,
        (info.dwFlags & DOCHOSTUIFLAG_THEME) != 0 ? 1 : (info.dwFlags & DOCHOSTUIFLAG_NOTHEME) != 0 ? 0 : -1);
}

IDocHostUIHandler* OleObjectPart::UiHandler()
{
    IDocHostUIHandler* handler = nullptr;
    if (clientSite == nullptr
        || FAILED(clientSite->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)))) {
        return nullptr;
    }
    return handler;
}

IOleInPlaceFrame* OleObjectPart::Frame()
{
    if (frame != nullptr) {
        frame->AddRef();
    }
    return frame;
}

bool OleObjectPart::IsInPlaceActive() const
{
    return inPlaceSite != nullptr;
}

HRESULT OleObjectPart::InPlaceActivate(IOleClientSite* activeSite, HWND parent, LPCRECT position, bool withUi)
{
    if (inPlaceSite == nullptr) {
        IOleClientSite* site = activeSite != nullptr ? activeSite : clientSite;
        if (site == nullptr) {
            return E_UNEXPECTED;
        }
        IOleInPlaceSite* candidate = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&candidate)))
            || candidate == nullptr) {
            StandInLog::Write(L"InPlaceActivate", L"obj=%u failed=no-IOleInPlaceSite", owner.Serial());
            return E_FAIL;
        }
        HRESULT can = candidate->CanInPlaceActivate();
        if (can != S_OK) {
            StandInLog::Write(L"InPlaceActivate", L"obj=%u refused-by-site=0x%08lx", owner.Serial(), can);
            candidate->Release();
            return E_FAIL;
        }
        inPlaceSite = candidate;
        inPlaceSite->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        inPlaceSite->GetWindow(&siteWindow);
        RECT siteRect = {0, 0, 0, 0};
        RECT clipRect = {0, 0, 0, 0};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        if (inPlaceSite != nullptr) {
            inPlaceSite->GetWindowContext(&frame, &uiWindow, &siteRect, &clipRect, &frameInfo);
        }
        RECT windowRect = position != nullptr ? *position : siteRect;
        HWND parentWindow = siteWindow != nullptr ? siteWindow : parent;
        if (!owner.Window().Create(parentWindow, windowRect)) {
            StandInLog::Write(L"InPlaceActivate", L"obj=%u failed=CreateWindow error=%lu parent=0x%08lx",
                owner.Serial(), GetLastError(), HandleToUlong(parentWindow));
            InPlaceDeactivate();
            return E_FAIL;
        }
        StandInLog::Write(L"InPlaceActivate", L"obj=%u window=0x%08lx parent=0x%08lx rect=%ld,%ld,%ld,%ld",
            owner.Serial(), HandleToUlong(owner.Window().Handle()), HandleToUlong(parentWindow), windowRect.left,
            windowRect.top, windowRect.right, windowRect.bottom);
        owner.PostPendingEvents();
    }
    return withUi ? UIActivate() : S_OK;
}

HRESULT OleObjectPart::UIActivate()
{
    if (inPlaceSite == nullptr) {
        return E_UNEXPECTED;
    }
    if (uiActive) {
        return S_OK;
    }
    uiActive = true;
    StandInLog::Write(L"UIActivate", L"obj=%u", owner.Serial());
    inPlaceSite->OnUIActivate();
    IOleInPlaceActiveObject* activeObject = nullptr;
    owner.QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&activeObject));
    if (frame != nullptr) {
        frame->SetActiveObject(activeObject, L"StandInBrowser");
    }
    if (uiWindow != nullptr) {
        uiWindow->SetActiveObject(activeObject, L"StandInBrowser");
    }
    if (activeObject != nullptr) {
        activeObject->Release();
    }
    HWND window = owner.Window().Handle();
    if (window != nullptr && GetFocus() != window) {
        SetFocus(window);
    }
    return S_OK;
}

HRESULT OleObjectPart::UIDeactivate()
{
    if (!uiActive) {
        return S_OK;
    }
    uiActive = false;
    StandInLog::Write(L"UIDeactivate", L"obj=%u", owner.Serial());
    if (frame != nullptr) {
        frame->SetActiveObject(nullptr, nullptr);
    }
    if (uiWindow != nullptr) {
        uiWindow->SetActiveObject(nullptr, nullptr);
    }
    if (inPlaceSite != nullptr) {
        inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT OleObjectPart::InPlaceDeactivate()
{
    if (inPlaceSite == nullptr) {
        return S_OK;
    }
    owner.CheckModalUi(L"InPlaceDeactivate");
    UIDeactivate();
    owner.Window().Destroy();
    IOleInPlaceSite* site = inPlaceSite;
    inPlaceSite = nullptr;
    ReleaseAndClear(frame);
    ReleaseAndClear(uiWindow);
    StandInLog::Write(L"InPlaceDeactivate", L"obj=%u", owner.Serial());
    site->OnInPlaceDeactivate();
    site->Release();
    return S_OK;
}

HRESULT OleObjectPart::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (position == nullptr) {
        return E_INVALIDARG;
    }
    StandInLog::Write(L"SetObjectRects", L"obj=%u rect=%ld,%ld,%ld,%ld", owner.Serial(), position->left,
        position->top, position->right, position->bottom);
    owner.Window().Move(*position);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetClientSite(IOleClientSite* site)
{
    owner.CheckApartment(L"SetClientSite");
    StandInLog::Write(L"SetClientSite", L"obj=%u site=%ls", owner.Serial(), site != nullptr ? L"set" : L"null");
    siteCleared = site == nullptr && clientSite != nullptr;
    if (siteCleared) {
        owner.CheckModalUi(L"SetClientSite");
    }
    if (site != nullptr) {
        site->AddRef();
    }
    IOleClientSite* previous = clientSite;
    clientSite = site;
    if (previous != nullptr) {
        previous->Release();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetClientSite(IOleClientSite** site)
{
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = clientSite;
    if (clientSite != nullptr) {
        clientSite->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    StandInLog::Write(L"SetHostNames", L"obj=%u", owner.Serial());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Close(DWORD saveOption)
{
    owner.CheckApartment(L"Close");
    StandInLog::Write(L"Close", L"obj=%u option=%lu", owner.Serial(), saveOption);
    // The platform's control tears down what raises the event it is inside of.
    if (owner.InEvent()) {
        StandInLog::Write(L"Fault", L"obj=%u kind=CloseInEvent", owner.Serial());
    }
    owner.CheckModalUi(L"Close");
    owner.AddRef();
    InPlaceDeactivate();
    if (adviseHolder != nullptr) {
        adviseHolder->SendOnClose();
    }
    owner.Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetMoniker(DWORD, IMoniker*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    return NoObject(moniker, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::InitFromData(IDataObject*, WINBOOL, DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetClipboardData(DWORD, IDataObject** data)
{
    return NoObject(data, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
    LPCRECT position)
{
    owner.AddRef();
    HRESULT result = S_OK;
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        result = InPlaceActivate(activeSite, parent, position, true);
        break;
    case OLEIVERB_INPLACEACTIVATE:
        result = InPlaceActivate(activeSite, parent, position, false);
        break;
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (owner.Window().Handle() != nullptr) {
            ShowWindow(owner.Window().Handle(), SW_HIDE);
        }
        break;
    case OLEIVERB_DISCARDUNDOSTATE:
        break;
    case OLEIVERB_OPEN:
        result = E_NOTIMPL;
        break;
    default:
        result = OLEOBJ_S_INVALIDVERB;
        break;
    }
    StandInLog::Write(L"DoVerb", L"obj=%u verb=%ld hr=0x%08lx", owner.Serial(), verb, result);
    owner.Release();
    return result;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::EnumVerbs(IEnumOLEVERB** verbs)
{
    return NoObject(verbs, OLE_S_USEREG);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Update()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::IsUpToDate()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetUserClassID(CLSID* clsid)
{
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = StandInModule::ClassId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetUserType(DWORD, LPOLESTR* userType)
{
    return NoObject(userType, OLE_S_USEREG);
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetExtent(DWORD aspect, SIZEL* size)
{
    if (size == nullptr) {
        return E_POINTER;
    }
    StandInLog::Write(L"SetExtent", L"obj=%u aspect=%lu size=%ld,%ld", owner.Serial(), aspect, size->cx, size->cy);
    extent = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetExtent(DWORD, SIZEL* size)
{
    if (size == nullptr) {
        return E_POINTER;
    }
    *size = extent;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Advise(IAdviseSink* sink, DWORD* connection)
{
    if (adviseHolder == nullptr) {
        HRESULT created = CreateOleAdviseHolder(&adviseHolder);
        if (FAILED(created)) {
            return created;
        }
    }
    HRESULT result = adviseHolder->Advise(sink, connection);
    StandInLog::Write(L"OleAdvise", L"obj=%u hr=0x%08lx", owner.Serial(), result);
    return result;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::Unadvise(DWORD connection)
{
    StandInLog::Write(L"OleUnadvise", L"obj=%u connection=%lu", owner.Serial(), connection);
    return adviseHolder != nullptr ? adviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::EnumAdvise(IEnumSTATDATA** advise)
{
    if (advise == nullptr) {
        return E_POINTER;
    }
    *advise = nullptr;
    return adviseHolder != nullptr ? adviseHolder->EnumAdvise(advise) : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::GetMiscStatus(DWORD, DWORD* status)
{
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE
        | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObjectPart::SetColorScheme(LOGPALETTE*)
{
    return E_NOTIMPL;
}
