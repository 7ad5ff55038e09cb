#include <gtest/gtest.h>

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <urlmon.h>

#include <cstring>

#include "WebViewTestSupport.h"
#include "toolkit/ComPtr.h"
#include "toolkit/OleApartment.h"
#include "webview/AxHostWindow.h"

namespace {

const GUID docHostCommandGroup = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

HWND CreateHost(int width = 300, int height = 200)
{
    AtlAxWinInit();
    return CreateWindowExW(0, L"AtlAxWin80", nullptr, WS_POPUP | WS_VISIBLE, 20, 20, width, height, nullptr,
        nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND ControlWindow(HWND host)
{
    ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (SUCCEEDED(AxQueryControl(host, IID_IOleInPlaceObject, inPlace.PutVoid())))
        inPlace->GetWindow(&window);
    return window;
}

// A window with the browser control in it; the window goes with the object.
class BrowserHost {
public:
    BrowserHost() : window(CreateHost()), created(AxCreateControl(window, L"shell.Explorer.2")) {}
    ~BrowserHost()
    {
        if (IsWindow(window))
            DestroyWindow(window);
        PumpMessages();
    }

    HWND window;
    HRESULT created;
};

// A host window with the browser control in it: the control's window and the site it was given.
class AxHostWithControl : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(host.created, S_OK);
        control = ControlWindow(host.window);
        ASSERT_NE(control, nullptr);
        ComPtr<IOleObject> object;
        ASSERT_EQ(AxQueryControl(host.window, IID_IOleObject, object.PutVoid()), S_OK);
        ASSERT_EQ(object->GetClientSite(site.Put()), S_OK);
        ASSERT_TRUE(site);
    }

    BrowserHost host;
    HWND control = nullptr;
    ComPtr<IOleClientSite> site;
};

// The site object of a host window, through the message controls' containers use.
void SiteOfHost(HWND host, ComPtr<IOleClientSite>& site)
{
    site.Attach(reinterpret_cast<IOleClientSite*>(SendMessageW(host, RegisterWindowMessageW(L"WM_ATLGETHOST"), 0, 0)));
}

} // namespace

TEST(AxHost, InitRegistersBothClassesOnce)
{
    EXPECT_TRUE(AtlAxWinInit());
    EXPECT_TRUE(AtlAxWinInit());
    for (const wchar_t* name : {L"AtlAxWin80", L"AtlAxWinLic80"}) {
        WNDCLASSEXW info = {};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &info)) << name;
    }
}

TEST(AxHost, WindowWithoutTextStartsEmpty)
{
    HWND host = CreateHost();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(SendMessageW(host, RegisterWindowMessageW(L"WM_ATLGETCONTROL"), 0, 0), 0);
    void* control = host;
    EXPECT_TRUE(FAILED(AxQueryControl(host, IID_IUnknown, &control)));
    EXPECT_EQ(control, nullptr);

    // Nothing is created from an unknown ProgID, nor in a window that is not a host.
    EXPECT_TRUE(FAILED(AxCreateControl(host, L"No.Such.Control.1")));
    EXPECT_TRUE(FAILED(AxQueryControl(host, IID_IUnknown, &control)));
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(AxCreateControl(other, L"shell.Explorer.2"), E_FAIL);
    EXPECT_EQ(AxCreateControl(nullptr, L"shell.Explorer.2"), E_FAIL);
    EXPECT_EQ(AxQueryControl(other, IID_IUnknown, &control), E_FAIL);
    DestroyWindow(other);
    DestroyWindow(host);
}

TEST_F(AxHostWithControl, ControlFillsTheClientAreaAndFollowsItsSize)
{
    ComPtr<IWebBrowser2> browser;
    ASSERT_EQ(AxQueryControl(host.window, IID_IWebBrowser2, browser.PutVoid()), S_OK);
    EXPECT_TRUE(IsChild(host.window, control));
    EXPECT_TRUE(SameRect(ScreenRect(control), ClientScreenRect(host.window)));

    MoveWindow(host.window, 40, 30, 520, 410, TRUE);
    EXPECT_TRUE(SameRect(ScreenRect(control), ClientScreenRect(host.window)));
    EXPECT_EQ(ScreenRect(control).right - ScreenRect(control).left, 520);

    // One control per host: a second one is refused and the first stays.
    EXPECT_TRUE(FAILED(AxCreateControl(host.window, L"shell.Explorer.2")));
    EXPECT_EQ(ControlWindow(host.window), control);
}

TEST_F(AxHostWithControl, FocusGoesToTheControl)
{
    auto inControl = [this] {
        HWND focus = GetFocus();
        return focus == control || IsChild(control, focus);
    };
    // Shown and focused before the control existed, then handed on.
    EXPECT_TRUE(inControl());

    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
        nullptr);
    SetFocus(other);
    EXPECT_FALSE(inControl());
    SetFocus(host.window);
    EXPECT_TRUE(inControl());
    DestroyWindow(other);
}

TEST_F(AxHostWithControl, SiteIsOneObjectThatSilencesScriptErrors)
{
    // Every interface of the site leads back to the same object.
    ComPtr<IUnknown> identity;
    ASSERT_EQ(site->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
    for (const IID* iid : {&IID_IOleInPlaceSite, &IID_IOleWindow, &IID_IOleInPlaceFrame, &IID_IOleInPlaceUIWindow,
             &IID_IDocHostUIHandler, &IID_IOleCommandTarget, &IID_IServiceProvider, &IID_IInternetSecurityManager}) {
        ComPtr<IUnknown> part;
        ASSERT_EQ(site->QueryInterface(*iid, part.PutVoid()), S_OK);
        ComPtr<IUnknown> back;
        ASSERT_EQ(part->QueryInterface(IID_IUnknown, back.PutVoid()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
    }

    ComPtr<IOleCommandTarget> commands;
    ASSERT_EQ(site->QueryInterface(IID_IOleCommandTarget, commands.PutVoid()), S_OK);
    VARIANT goOn;
    VariantInit(&goOn);
    EXPECT_EQ(commands->Exec(&docHostCommandGroup, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &goOn), S_OK);
    EXPECT_EQ(goOn.vt, VT_BOOL);
    EXPECT_EQ(goOn.boolVal, VARIANT_TRUE);
    EXPECT_EQ(commands->Exec(&docHostCommandGroup, OLECMDID_SHOWMESSAGE, 0, nullptr, nullptr),
        OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(commands->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
        OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(commands->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
}

TEST_F(AxHostWithControl, TheHostTakesItsKeysAndLeavesAContextMenuToTextFieldsOnly)
{
    ComPtr<IDocHostUIHandler> ui;
    ASSERT_EQ(site->QueryInterface(IID_IDocHostUIHandler, ui.PutVoid()), S_OK);
    // S_OK: the host has handled the menu, so the control shows none; S_FALSE: the control's own.
    POINT at = {10, 10};
    for (DWORD kind = CONTEXT_MENU_DEFAULT; kind <= CONTEXT_MENU_MEDIA; ++kind)
        EXPECT_EQ(ui->ShowContextMenu(kind, &at, nullptr, nullptr), kind == CONTEXT_MENU_CONTROL ? S_FALSE : S_OK)
            << kind;
    // F5 and the browser's shortcuts are the host's to handle, so the control does nothing with
    // them; the page's keys are the control's.
    for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_CHAR}) {
        for (WPARAM key : {WPARAM(VK_F5), WPARAM(VK_RETURN), WPARAM('R'), WPARAM(VK_F3)}) {
            MSG keyMessage = {host.window, message, key, 0, 0, {0, 0}};
            bool hosts = (key == VK_F5 || key == VK_F3) && message != WM_CHAR;
            EXPECT_EQ(ui->TranslateAccelerator(&keyMessage, nullptr, 0), hosts ? S_OK : S_FALSE) << message << key;
        }
    }
}

TEST_F(AxHostWithControl, SecurityManagerRefusesWhatWouldRunCodeOrStartAProgram)
{
    ComPtr<IServiceProvider> services;
    ASSERT_EQ(site->QueryInterface(IID_IServiceProvider, services.PutVoid()), S_OK);
    ComPtr<IInternetSecurityManager> security;
    ASSERT_EQ(services->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager, security.PutVoid()),
        S_OK);
    void* other = site.Get();
    EXPECT_EQ(services->QueryService(IID_IWebBrowserApp, IID_IWebBrowser2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    const wchar_t page[] = L"http://passport.ops.test/kolv/login";
    for (DWORD action : {URLACTION_DOWNLOAD_UNSIGNED_ACTIVEX, URLACTION_ACTIVEX_RUN, URLACTION_SCRIPT_OVERRIDE_SAFETY,
             URLACTION_SHELL_FILE_DOWNLOAD, URLACTION_SHELL_EXECUTE_LOWRISK, URLACTION_JAVA_PERMISSIONS}) {
        // The policy buffer of the control need not be aligned.
        BYTE policy[1 + sizeof(DWORD)] = {};
        EXPECT_EQ(security->ProcessUrlAction(page, action, policy + 1, sizeof(DWORD), nullptr, 0, PUAF_NOUI, 0),
            S_FALSE) << std::hex << action;
        DWORD written;
        std::memcpy(&written, policy + 1, sizeof(written));
        EXPECT_EQ(written, DWORD(URLPOLICY_DISALLOW)) << std::hex << action;
        // Refused as well when there is no room for the policy, which is then not written.
        EXPECT_EQ(security->ProcessUrlAction(page, action, policy, 2, nullptr, 0, PUAF_NOUI, 0), S_FALSE);
        EXPECT_EQ(policy[0], 0);
    }
    // Script, forms, cookies, pop-ups and zones stay the control's decision.
    DWORD policy = 0x5A5A;
    for (DWORD action : {URLACTION_SCRIPT_RUN, URLACTION_HTML_SUBMIT_FORMS, URLACTION_COOKIES,
             URLACTION_SHELL_POPUPMGR, URLACTION_CROSS_DOMAIN_DATA})
        EXPECT_EQ(security->ProcessUrlAction(page, action, reinterpret_cast<BYTE*>(&policy), sizeof(policy), nullptr,
                      0, PUAF_NOUI, 0), INET_E_DEFAULT_ACTION) << std::hex << action;
    EXPECT_EQ(policy, 0x5A5Au);
    DWORD zone = 0x5A5A;
    EXPECT_EQ(security->MapUrlToZone(page, &zone, 0), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(zone, 0x5A5Au);
    IInternetSecurityMgrSite* securitySite = reinterpret_cast<IInternetSecurityMgrSite*>(1);
    EXPECT_EQ(security->GetSecuritySite(&securitySite), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(securitySite, nullptr);
}

TEST(AxHost, DestroyingTheWindowLetsGoOfTheControlAndTheSite)
{
    BrowserHost host;
    ASSERT_EQ(host.created, S_OK);
    IOleObject* control = nullptr;
    ASSERT_EQ(AxQueryControl(host.window, IID_IOleObject, reinterpret_cast<void**>(&control)), S_OK);
    IOleClientSite* site = nullptr;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ASSERT_NE(site, nullptr);

    DestroyWindow(host.window);
    EXPECT_EQ(site->Release(), 0u);
    EXPECT_EQ(control->Release(), 0u);
}

TEST(AxHost, EachWindowBalancesItsOleInitialisation)
{
    ExpectOleBalancedOverTwo([] { return CreateHost(); }, [](HWND host) { DestroyWindow(host); });
}

TEST(AxHost, OleInitialisedByTheThreadStaysInitialised)
{
    OnFreshThread([] {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        BrowserHost host;
        EXPECT_EQ(host.created, S_OK);
        DestroyWindow(host.window);
        EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
        OleUninitialize();
        EXPECT_EQ(ProbeApartment(), Apartment::None);
    });
}

TEST(AxHost, TheControlsModalUiDisablesTheOwnerFromTheFirstAnnouncementToTheLast)
{
    HWND owner = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    AtlAxWinInit();
    HWND host = CreateWindowExW(0, L"AtlAxWin80", nullptr, WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, owner, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner && host);
    ComPtr<IOleClientSite> site;
    SiteOfHost(host, site);
    ASSERT_TRUE(site);
    ComPtr<IDocHostUIHandler> ui;
    ComPtr<IOleInPlaceFrame> frame;
    ASSERT_EQ(site->QueryInterface(IID_IDocHostUIHandler, ui.PutVoid()), S_OK);
    ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceFrame, frame.PutVoid()), S_OK);

    // The owner is disabled exactly while the host counts the UI as showing.
    auto expectModal = [owner, host](bool modal) {
        EXPECT_EQ(IsWindowEnabled(owner) == FALSE, modal);
        EXPECT_EQ(AxInModalUi(host), modal);
    };
    // An end that was never announced changes nothing.
    EXPECT_EQ(ui->EnableModeless(TRUE), S_OK);
    expectModal(false);
    // Both interfaces announce one UI, and a nested one counts as well.
    EXPECT_EQ(ui->EnableModeless(FALSE), S_OK);
    expectModal(true);
    EXPECT_EQ(frame->EnableModeless(FALSE), S_OK);
    EXPECT_EQ(ui->EnableModeless(FALSE), S_OK);
    EXPECT_EQ(ui->EnableModeless(TRUE), S_OK);
    EXPECT_EQ(frame->EnableModeless(TRUE), S_OK);
    expectModal(true);
    EXPECT_EQ(ui->EnableModeless(TRUE), S_OK);
    expectModal(false);

    // A host that goes during the UI enables its owner again; the control's late end changes nothing.
    EXPECT_EQ(frame->EnableModeless(FALSE), S_OK);
    EXPECT_FALSE(IsWindowEnabled(owner));
    DestroyWindow(host);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(frame->EnableModeless(TRUE), S_OK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST(AxHost, TheLaunchCyclesApartmentOutlivesEachHost)
{
    OnFreshThread([] {
        {
            OleApartment apartment;
            EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
            DestroyWindow(CreateHost());
            EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
            DestroyWindow(CreateHost());
            EXPECT_EQ(ProbeApartment(), Apartment::SingleThreaded);
        }
        EXPECT_EQ(ProbeApartment(), Apartment::None);
    });
}
