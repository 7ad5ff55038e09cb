#include <gtest/gtest.h>

#include <exdispid.h>
#include <urlmon.h>

#include "WebViewTestSupport.h"
#include "toolkit/WindManager.h"
#include "webview/WebView.h"
#include "webview/WebViewEventAgent.h"

namespace {

// Cancel starts at a value the agent never writes: left alone, it stays.
const VARIANT_BOOL untouched = 7;
const wchar_t loginPage[] = L"http://passport.ops.test/kolv/login";

// A web view record with its agent and the control's identity, as when no host could be made:
// events are raised straight at the agent.
class WebViewEventAgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        webView = new WebView;
        webView->eventAgent = new WebViewEventAgent(webView, testStallPeriodMs);
        control.Identity()->AddRef();
        webView->control.Attach(control.Identity());
        agent = webView->eventAgent;
    }

    void TearDown() override
    {
        if (webView)
            WindManager::Instance()->DestroyWebView(webView);
    }

    void Bind(Recorder& recorder)
    {
        ASSERT_TRUE(WindManager::Instance()->SetWebViewCallback(webView, &recorder, Recorder::Callback));
    }

    HRESULT NavigateComplete2(const wchar_t* url)
    {
        OwnedBstr text(url);
        VARIANT address = BstrArgument(text.Get());
        return Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(&address), Typed(VT_DISPATCH)});
    }

    // NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel) as the control raises it;
    // answers the Cancel the agent left.
    VARIANT_BOOL RaiseNavigateError(IDispatch* sender, const wchar_t* url, LONG status)
    {
        VARIANT_BOOL cancel = untouched;
        EXPECT_EQ(::RaiseNavigateError(agent, sender, url, status, cancel), S_OK);
        return cancel;
    }

    void AddressEvent(DISPID id, IDispatch* sender, const wchar_t* url)
    {
        OwnedBstr text(url);
        VARIANT address = BstrArgument(text.Get());
        EXPECT_EQ(Raise(agent, id, {VariantRefArgument(&address), DispatchArgument(sender)}), S_OK);
    }

    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel).
    VARIANT_BOOL BeforeNavigate2(IDispatch* sender, const wchar_t* url)
    {
        OwnedBstr text(url);
        VARIANT address = BstrArgument(text.Get());
        VARIANT none = Typed(VT_EMPTY);
        VARIANT flags = LongArgument(0);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2,
                      {BoolRefArgument(&cancel), VariantRefArgument(&none), VariantRefArgument(&none),
                          VariantRefArgument(&none), VariantRefArgument(&flags), VariantRefArgument(&address),
                          DispatchArgument(sender)}),
            S_OK);
        return cancel;
    }

    // Pumps past the stall period, as a message loop would.
    static void WaitOutTheStallPeriod() { PumpUntil([] { return false; }, 3 * testStallPeriodMs); }

    EventSender control;
    EventSender frame;
    WebView* webView = nullptr;
    WebViewEventAgent* agent = nullptr;
    IDispatch* newWindow = nullptr;
};

} // namespace

TEST_F(WebViewEventAgentTest, AnswersAsAnEventSinkOnly)
{
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &DIID_DWebBrowserEvents2}) {
        void* object = nullptr;
        EXPECT_EQ(agent->QueryInterface(*iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<IDispatch*>(agent));
        agent->Release();
    }
    void* object = agent;
    EXPECT_EQ(agent->QueryInterface(IID_IOleClientSite, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    UINT count = 7;
    EXPECT_EQ(agent->GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST_F(WebViewEventAgentTest, EachEventOfTheTableReachesTheCallback)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr byReference(L"http://example.test/by-reference");
    OwnedBstr plain(L"http://example.test/plain");
    OwnedBstr frame(L"http://example.test/frame");
    OwnedBstr popup(L"http://example.test/popup");
    VARIANT address = BstrArgument(byReference.Get());
    VARIANT frameAddress = BstrArgument(frame.Get());
    VARIANT_BOOL newWindow2Cancel = VARIANT_FALSE;
    VARIANT_BOOL newWindow3Cancel = VARIANT_FALSE;

    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(&address), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {BstrArgument(plain.Get()), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_DOCUMENTCOMPLETE, {VariantRefArgument(&frameAddress), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW2, {BoolRefArgument(&newWindow2Cancel), DispatchRefArgument(&newWindow)}),
        S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &newWindow3Cancel, &newWindow)), S_OK);

    const std::vector<std::pair<WebViewEvent, std::wstring>> expected = {
        {NavigateComplete, L"http://example.test/by-reference"},
        {NavigateComplete, L"http://example.test/plain"},
        {DocumentComplete, L"http://example.test/frame"},
        {NavigateComplete, L""},
        {NewWindow, L"http://example.test/popup"},
    };
    ASSERT_EQ(recorder.calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(recorder.calls[i].owner, &recorder) << i;
        EXPECT_EQ(recorder.calls[i].webView, webView) << i;
        EXPECT_EQ(recorder.calls[i].kind, expected[i].first) << i;
        EXPECT_EQ(recorder.calls[i].url, expected[i].second) << i;
    }
    // Only NewWindow3's answer reaches the browser.
    EXPECT_EQ(newWindow2Cancel, VARIANT_FALSE);
    EXPECT_EQ(newWindow3Cancel, VARIANT_TRUE);
}

TEST_F(WebViewEventAgentTest, NewWindowsAreRefusedUnboundAndCancelledWhenABoundCallbackSaysSo)
{
    // Unbound, before the first binding and after the web view is destroyed: nobody would send
    // the window to the default browser, and the control must open none of its own.
    OwnedBstr popup(L"http://example.test/popup");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &cancel, &newWindow)), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW2, {BoolRefArgument(&cancel), DispatchRefArgument(&newWindow)}), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    Recorder recorder;
    Bind(recorder);
    cancel = VARIANT_TRUE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &cancel, &newWindow)), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(recorder.calls.size(), 1u);

    agent->Unbind();
    cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &cancel, &newWindow)), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(recorder.calls.size(), 1u);
}

TEST_F(WebViewEventAgentTest, WindowClosingIsCancelledWithoutAHandler)
{
    Recorder recorder;
    Bind(recorder);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT topLevel = Typed(VT_BOOL);
    EXPECT_EQ(Raise(agent, DISPID_WINDOWCLOSING, {BoolRefArgument(&cancel), topLevel}), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // Too few arguments, a mistyped one, or a null Cancel: nothing is written.
    cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_WINDOWCLOSING, {BoolRefArgument(&cancel), topLevel}, 1), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_WINDOWCLOSING, {BoolRefArgument(&cancel), LongArgument(0)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_WINDOWCLOSING, {topLevel, BoolRefArgument(&cancel)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_WINDOWCLOSING, {BoolRefArgument(nullptr), topLevel}), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(WebViewEventAgentTest, BeforeNavigate2CancelsEveryNavigationOffTheWeb)
{
    Recorder recorder;
    Bind(recorder);
    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel).
    VARIANT none = Typed(VT_EMPTY);
    VARIANT flags = LongArgument(0);
    auto arguments = [&](VARIANT* url, VARIANT_BOOL* cancel) {
        return std::vector<VARIANT>{BoolRefArgument(cancel), VariantRefArgument(&none), VariantRefArgument(&none),
            VariantRefArgument(&none), VariantRefArgument(&flags), VariantRefArgument(url), Typed(VT_DISPATCH)};
    };
    // Cancel starts at a value the agent never writes: left alone, it stays.
    const VARIANT_BOOL untouched = 7;
    const std::pair<const wchar_t*, bool> cases[] = {{L"http://passport.ops.test/kolv/login", false},
        {L"HTTPS://pay.ops.test/", false}, {L"about:blank", false}, {L"JavaScript:void(0)", false},
        {L"file:///C:/windows/system32/notepad.exe", true}, {L"mailto:a@b.test", true}, {L"ms-settings:", true},
        {L"res://ieframe.dll/dnserror.htm", true}, {L"view-source:http://x.test/", true},
        {L"C:\\Windows\\notepad.exe", true}, {L"\\\\server\\share\\x.exe", true}, {L" http://x.test/", true},
        {L"javascr\u0130pt:alert(1)", true}, {L"http", true}, {L"", true}};
    for (const auto& [address, refused] : cases) {
        OwnedBstr text(address);
        VARIANT url = BstrArgument(text.Get());
        VARIANT_BOOL cancel = untouched;
        EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2, arguments(&url, &cancel)), S_OK) << address;
        EXPECT_EQ(cancel, refused ? VARIANT_TRUE : untouched) << address;
    }

    // An address that cannot be read is not shown to be on the web: none, not a string, or one
    // with a NUL inside (read up to the NUL, it would pass).
    BSTR split = SysAllocStringLen(L"http://x.test/\0file:", 20);
    VARIANT unreadable[] = {BstrArgument(nullptr), LongArgument(80), BstrArgument(split)};
    for (VARIANT& url : unreadable) {
        VARIANT_BOOL cancel = untouched;
        EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2, arguments(&url, &cancel)), S_OK);
        EXPECT_EQ(cancel, VARIANT_TRUE);
    }
    SysFreeString(split);
    VARIANT_BOOL cancel = untouched;
    EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2, arguments(nullptr, &cancel)), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2, {BoolRefArgument(&cancel)}), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(WebViewEventAgentTest, OtherEventsAndNullParametersCallNothing)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr text(L"http://example.test/");
    VARIANT address = BstrArgument(text.Get());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    for (DISPID id : {0, 250, 253, 270, 274, -1})
        EXPECT_EQ(Raise(agent, id, {VariantRefArgument(&address), BoolRefArgument(&cancel)}), S_OK) << id;
    for (DISPID id : {DISPID_NEWWINDOW2, DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW3, 250})
        EXPECT_EQ(agent->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_INVALIDARG)
            << id;
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(WebViewEventAgentTest, MissingArgumentsGiveNoAddressAndNoCancel)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr popup(L"http://example.test/popup");
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {}, 0), S_OK);
    DISPPARAMS noArray = {nullptr, nullptr, 2, 0};
    EXPECT_EQ(agent->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &noArray, nullptr, nullptr, nullptr),
        S_OK);
    // Cancel lies just past the three arguments given: it is not the agent's to write.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &cancel, &newWindow), 3), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);

    ASSERT_EQ(recorder.calls.size(), 3u);
    EXPECT_EQ(recorder.calls[0].url, L"");
    EXPECT_EQ(recorder.calls[1].url, L"");
    EXPECT_EQ(recorder.calls[2].url, L"http://example.test/popup");
}

TEST_F(WebViewEventAgentTest, ArgumentsOfOtherTypesOrNullReferencesGiveNoAddressAndNoCancel)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr text(L"http://example.test/");
    VARIANT number = LongArgument(42);
    VARIANT address = BstrArgument(text.Get());
    VARIANT nested = VariantRefArgument(&address);
    VARIANT_BOOL cancel = VARIANT_FALSE;

    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {LongArgument(42), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(&number), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(nullptr), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_DOCUMENTCOMPLETE, {VariantRefArgument(&nested), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(nullptr, &cancel, &newWindow)), S_OK);
    // NewWindow3 takes its address only as a plain string.
    std::vector<VARIANT> byReference = NewWindow3Arguments(nullptr, &cancel, &newWindow);
    byReference[0] = VariantRefArgument(&address);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, byReference), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // A Cancel of another type, or a null one, is left alone.
    LONG flag = 0;
    std::vector<VARIANT> wrongCancel = NewWindow3Arguments(text.Get(), &cancel, &newWindow);
    wrongCancel[3] = Typed(VT_BYREF | VT_I4);
    wrongCancel[3].plVal = &flag;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, wrongCancel), S_OK);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(text.Get(), nullptr, &newWindow)), S_OK);

    ASSERT_EQ(recorder.calls.size(), 8u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(recorder.calls[i].url, L"") << i;
    EXPECT_EQ(recorder.calls[7].url, L"http://example.test/");
}

TEST_F(WebViewEventAgentTest, ABindingReceivesOnlyLaterEvents)
{
    EXPECT_EQ(NavigateComplete2(L"http://example.test/1"), S_OK);
    Recorder first;
    Bind(first);
    EXPECT_EQ(NavigateComplete2(L"http://example.test/2"), S_OK);
    Recorder second;
    Bind(second);
    EXPECT_EQ(NavigateComplete2(L"http://example.test/3"), S_OK);

    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0].url, L"http://example.test/2");
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(second.calls[0].url, L"http://example.test/3");
}

TEST_F(WebViewEventAgentTest, ACallbackMayDestroyItsOwnWebView)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    ULONG referencesInCallback = 0;
    HWND windowAfterDestroy = reinterpret_cast<HWND>(1);
    recorder.onEvent = [&](WebView* view) {
        WindManager::Instance()->DestroyWebView(view);
        // Unbound at once, and held by the dispatch and by the teardown that waits for the loop.
        windowAfterDestroy = WindManager::Instance()->GetWebViewWindow(view);
        referencesInCallback = agent->AddRef();
        agent->Release();
    };
    webView = nullptr;
    agent->AddRef();

    OwnedBstr popup(L"http://example.test/popup");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(popup.Get(), &cancel, &newWindow)), S_OK);
    EXPECT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(windowAfterDestroy, nullptr);
    // This test's reference, the dispatch's, the teardown's and the one taken in the callback.
    EXPECT_EQ(referencesInCallback, 4u);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // The teardown lets go of the record from the message loop.
    EXPECT_TRUE(PumpUntil([this] {
        agent->AddRef();
        return agent->Release() == 1;
    }));
    EXPECT_EQ(agent->Release(), 0u);
}

TEST_F(WebViewEventAgentTest, TheRecordLivesAsLongAsTheAgentIsHeld)
{
    Recorder recorder;
    Bind(recorder);
    // As a control would that still holds its sink.
    agent->AddRef();
    WindManager::Instance()->DestroyWebView(webView);
    EXPECT_EQ(WindManager::Instance()->GetWebViewWindow(webView), nullptr);
    // Events that still arrive reach nobody: the owner may be gone.
    EXPECT_EQ(NavigateComplete2(L"http://example.test/late"), S_OK);
    EXPECT_TRUE(recorder.calls.empty());
    webView = nullptr;
    EXPECT_EQ(agent->Release(), 0u);
}

TEST_F(WebViewEventAgentTest, AFailureOfThePageItselfIsCancelledAndReported)
{
    Recorder recorder;
    recorder.answer = false;
    Bind(recorder);
    // The control may pass any of its interfaces: only its identity tells it from a frame.
    IDispatch* page = static_cast<IDispatch*>(&control);
    ASSERT_NE(static_cast<void*>(page), static_cast<void*>(control.Identity()));
    const LONG failures[] = {INET_E_RESOURCE_NOT_FOUND, INET_E_CANNOT_CONNECT, INET_E_DOWNLOAD_FAILURE,
        INET_E_CONNECTION_TIMEOUT, E_ABORT, 400, 404, 500, 503};
    for (LONG status : failures)
        EXPECT_EQ(RaiseNavigateError(page, loginPage, status), VARIANT_TRUE) << status;
    ASSERT_EQ(recorder.calls.size(), sizeof(failures) / sizeof(failures[0]));
    for (size_t i = 0; i < recorder.calls.size(); ++i) {
        EXPECT_EQ(recorder.calls[i].kind, NavigateError) << i;
        EXPECT_EQ(recorder.calls[i].url, loginPage) << i;
        EXPECT_EQ(recorder.calls[i].status, failures[i]) << i;
        EXPECT_EQ(recorder.calls[i].webView, webView) << i;
    }

    // Answers below 400 are no failures, and a frame's error is its page's own business.
    recorder.calls.clear();
    for (LONG status : {0, 200, 204, 304, 399})
        EXPECT_EQ(RaiseNavigateError(page, loginPage, status), untouched) << status;
    for (LONG status : {INET_E_RESOURCE_NOT_FOUND, 404L, 500L})
        EXPECT_EQ(RaiseNavigateError(&frame, L"http://ads.test/frame", status), untouched) << status;
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(WebViewEventAgentTest, NavigateErrorIsReadOnlyWithEveryArgumentOfItsPublishedType)
{
    Recorder recorder;
    Bind(recorder);
    OwnedBstr text(loginPage);
    OwnedBstr name(L"");
    OwnedBstr empty(L"");
    BSTR split = SysAllocStringLen(L"http://x.test/\0a", 16);
    VARIANT address = BstrArgument(text.Get());
    VARIANT frameName = BstrArgument(name.Get());
    VARIANT code = LongArgument(404);
    VARIANT wrongCode = BstrArgument(text.Get());
    VARIANT number = LongArgument(7);
    VARIANT noAddress = BstrArgument(nullptr);
    VARIANT emptyAddress = BstrArgument(empty.Get());
    VARIANT splitAddress = BstrArgument(split);
    VARIANT_BOOL cancel = untouched;
    auto valid = [&] { return NavigateErrorArguments(&control, &address, &frameName, &code, &cancel); };
    std::vector<std::vector<VARIANT>> broken;
    auto with = [&](size_t index, VARIANT argument) {
        std::vector<VARIANT> arguments = valid();
        arguments[index] = argument;
        broken.push_back(arguments);
    };
    with(0, Typed(VT_BOOL));
    with(0, BoolRefArgument(nullptr));
    with(1, code);
    with(1, VariantRefArgument(&wrongCode));
    with(1, VariantRefArgument(nullptr));
    with(2, VariantRefArgument(&number));
    with(2, frameName);
    with(3, address);
    with(3, VariantRefArgument(&number));
    with(3, VariantRefArgument(&noAddress));
    with(3, VariantRefArgument(&emptyAddress));
    with(3, VariantRefArgument(&splitAddress));
    with(4, DispatchArgument(nullptr));
    with(4, Typed(VT_UNKNOWN));
    for (size_t i = 0; i < broken.size(); ++i) {
        EXPECT_EQ(Raise(agent, DISPID_NAVIGATEERROR, broken[i]), S_OK) << i;
        EXPECT_EQ(cancel, untouched) << i;
    }
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATEERROR, valid(), 4), S_OK);
    EXPECT_EQ(cancel, untouched);
    EXPECT_TRUE(recorder.calls.empty());
    SysFreeString(split);

    // A frame name may be a string or nothing at all.
    for (VARIANT name : {frameName, Typed(VT_EMPTY), Typed(VT_NULL)}) {
        std::vector<VARIANT> arguments = valid();
        arguments[2] = VariantRefArgument(&name);
        EXPECT_EQ(Raise(agent, DISPID_NAVIGATEERROR, arguments), S_OK);
        EXPECT_EQ(cancel, VARIANT_TRUE);
        cancel = untouched;
    }
    EXPECT_EQ(recorder.calls.size(), 3u);
}

TEST_F(WebViewEventAgentTest, ANavigationThatDoesNotCompleteInTimeFailsOnce)
{
    Recorder recorder;
    Bind(recorder);
    EXPECT_FALSE(agent->IsNavigating());
    agent->NavigationStarted(loginPage);
    EXPECT_TRUE(agent->IsNavigating());
    ASSERT_TRUE(PumpUntil([&] { return !recorder.calls.empty(); }));
    EXPECT_FALSE(agent->IsNavigating());
    // Never retried by itself: one report, and no timer left.
    WaitOutTheStallPeriod();
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].kind, NavigateError);
    EXPECT_EQ(recorder.calls[0].url, loginPage);
    EXPECT_EQ(recorder.calls[0].status, INET_E_CONNECTION_TIMEOUT);
}

TEST_F(WebViewEventAgentTest, TheWatchStandsStillWhileTheControlsModalUiWaitsOnThePlayer)
{
    Recorder recorder;
    Bind(recorder);
    // A credentials prompt of the navigation itself, and one shown before a navigation starts.
    agent->NavigationStarted(loginPage);
    agent->ModalUi(true);
    WaitOutTheStallPeriod();
    agent->ModalUi(false);
    agent->ModalUi(true);
    agent->NavigationStarted(loginPage);
    WaitOutTheStallPeriod();
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_TRUE(agent->IsNavigating());
    agent->ModalUi(false);
    ASSERT_TRUE(PumpUntil([&] { return !recorder.calls.empty(); }));
    EXPECT_EQ(recorder.calls[0].kind, NavigateError);
}

TEST_F(WebViewEventAgentTest, OnlyThePagesOwnAnswerOrFailureEndsItsNavigation)
{
    Recorder recorder;
    Bind(recorder);
    agent->NavigationStarted(loginPage);
    AddressEvent(DISPID_NAVIGATECOMPLETE2, &frame, L"http://ads.test/frame");
    AddressEvent(DISPID_DOCUMENTCOMPLETE, &frame, L"http://ads.test/frame");
    EXPECT_EQ(RaiseNavigateError(&frame, L"http://ads.test/frame", 404), untouched);
    EXPECT_TRUE(agent->IsNavigating());
    // The page's own document has arrived and shows: its images and frames may take their time.
    AddressEvent(DISPID_NAVIGATECOMPLETE2, &control, loginPage);
    EXPECT_FALSE(agent->IsNavigating());
    AddressEvent(DISPID_DOCUMENTCOMPLETE, &control, loginPage);
    EXPECT_FALSE(agent->IsNavigating());
    agent->NavigationStarted(loginPage);
    AddressEvent(DISPID_DOCUMENTCOMPLETE, &control, loginPage);
    EXPECT_FALSE(agent->IsNavigating());

    // A link that turns into a download: FileDownload(ActiveDocument, Cancel), then no document.
    agent->NavigationStarted(L"http://passport.ops.test/files/client.zip");
    VARIANT_BOOL keep = VARIANT_FALSE;
    VARIANT activeDocument = Typed(VT_BOOL);
    EXPECT_EQ(Raise(agent, DISPID_FILEDOWNLOAD, {BoolRefArgument(&keep), activeDocument}), S_OK);
    EXPECT_FALSE(agent->IsNavigating());
    EXPECT_EQ(keep, VARIANT_FALSE);

    // A page's answer without a document, and a failure, end it too.
    agent->NavigationStarted(loginPage);
    EXPECT_EQ(RaiseNavigateError(&control, loginPage, 204), untouched);
    EXPECT_FALSE(agent->IsNavigating());
    agent->NavigationStarted(loginPage);
    EXPECT_EQ(RaiseNavigateError(&control, loginPage, INET_E_CANNOT_CONNECT), VARIANT_TRUE);
    EXPECT_FALSE(agent->IsNavigating());

    WaitOutTheStallPeriod();
    ASSERT_EQ(recorder.calls.size(), 6u);
    EXPECT_EQ(recorder.calls[5].kind, NavigateError);
    EXPECT_EQ(recorder.calls[5].status, INET_E_CANNOT_CONNECT);
}

TEST_F(WebViewEventAgentTest, ThePageLoadingADocumentFromTheWebIsWatchedToo)
{
    Recorder recorder;
    Bind(recorder);
    AddressEvent(DISPID_NAVIGATECOMPLETE2, &control, L"http://passport.ops.test/kolv/login?a=1#top");
    // Moving within the page, running script, a blank page, a frame's own navigation and a refused
    // one load nothing the page waits for.
    for (const wchar_t* address : {L"http://passport.ops.test/kolv/login?a=1#form", L"javascript:void(0)",
             L"about:blank"})
        EXPECT_EQ(BeforeNavigate2(&control, address), VARIANT_FALSE) << address;
    EXPECT_EQ(BeforeNavigate2(&frame, L"http://ads.test/next"), VARIANT_FALSE);
    EXPECT_EQ(BeforeNavigate2(&control, L"file:///C:/x.exe"), VARIANT_TRUE);
    EXPECT_FALSE(agent->IsNavigating());

    const wchar_t submitted[] = L"http://passport.ops.test/kolv/login?a=2#form";
    EXPECT_EQ(BeforeNavigate2(&control, submitted), VARIANT_FALSE);
    EXPECT_TRUE(agent->IsNavigating());
    ASSERT_TRUE(PumpUntil([&] { return !recorder.calls.empty() && recorder.calls.back().kind == NavigateError; }));
    EXPECT_EQ(recorder.calls.back().url, submitted);
}

TEST_F(WebViewEventAgentTest, AFailureBeforeAnyBindingIsToldToTheFirstBindingOnly)
{
    // Raised inside the first Navigate2, before the window that made the web view binds itself.
    agent->NavigationStarted(loginPage);
    EXPECT_EQ(RaiseNavigateError(&control, loginPage, INET_E_RESOURCE_NOT_FOUND), VARIANT_TRUE);
    Recorder first;
    Bind(first);
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0].kind, NavigateError);
    EXPECT_EQ(first.calls[0].url, loginPage);
    EXPECT_EQ(first.calls[0].status, INET_E_RESOURCE_NOT_FOUND);
    Recorder second;
    Bind(second);
    EXPECT_TRUE(second.calls.empty());
}

TEST_F(WebViewEventAgentTest, AFailureNobodyHeardIsForgottenOnceTheNextNavigationStarts)
{
    EXPECT_EQ(RaiseNavigateError(&control, loginPage, 404), VARIANT_TRUE);
    agent->NavigationStarted(loginPage);
    Recorder recorder;
    Bind(recorder);
    EXPECT_TRUE(recorder.calls.empty());
}
