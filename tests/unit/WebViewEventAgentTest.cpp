#include <gtest/gtest.h>

#include <exdispid.h>

#include "WebViewTestSupport.h"
#include "toolkit/WindManager.h"
#include "webview/WebView.h"
#include "webview/WebViewEventAgent.h"

namespace {

// A web view record with its agent and nothing else, as when no host could be made: events
// are raised straight at the agent.
class WebViewEventAgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        webView = new WebView;
        webView->eventAgent = new WebViewEventAgent(webView);
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

    WebView* webView = nullptr;
    WebViewEventAgent* agent = nullptr;
};

} // namespace

TEST_F(WebViewEventAgentTest, AnswersAsAnEventSinkOnly)
{
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &DIID_DWebBrowserEvents2}) {
        void* object = nullptr;
        EXPECT_EQ(agent->QueryInterface(*iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<IDispatch*>(agent));
        if (object)
            agent->Release();
    }
    void* object = agent;
    EXPECT_EQ(agent->QueryInterface(IID_IOleClientSite, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    UINT count = 7;
    EXPECT_EQ(agent->GetTypeInfoCount(&count), E_NOTIMPL);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(agent->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    LPOLESTR name = const_cast<LPOLESTR>(L"Navigate");
    DISPID id = 0;
    EXPECT_EQ(agent->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), E_NOTIMPL);
}

TEST_F(WebViewEventAgentTest, NavigateComplete2PassesItsAddressAsKindTwo)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);

    EXPECT_EQ(NavigateComplete2(L"http://example.test/by-reference"), S_OK);
    // The same event with its address as a plain string.
    OwnedBstr text(L"http://example.test/plain");
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {BstrArgument(text.Get()), Typed(VT_DISPATCH)}), S_OK);

    ASSERT_EQ(recorder.calls.size(), 2u);
    for (const WebViewCall& call : recorder.calls) {
        EXPECT_EQ(call.owner, &recorder);
        EXPECT_EQ(call.kind, NavigateComplete);
        EXPECT_EQ(call.webView, webView);
    }
    EXPECT_EQ(recorder.calls[0].url, L"http://example.test/by-reference");
    EXPECT_EQ(recorder.calls[1].url, L"http://example.test/plain");
}

TEST_F(WebViewEventAgentTest, DocumentCompletePassesItsAddressAsKindOne)
{
    Recorder recorder;
    Bind(recorder);
    OwnedBstr text(L"http://example.test/frame");
    VARIANT address = BstrArgument(text.Get());
    EXPECT_EQ(Raise(agent, DISPID_DOCUMENTCOMPLETE, {VariantRefArgument(&address), Typed(VT_DISPATCH)}), S_OK);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].kind, DocumentComplete);
    EXPECT_EQ(recorder.calls[0].url, L"http://example.test/frame");
}

TEST_F(WebViewEventAgentTest, NewWindow2IsKindTwoWithoutAddressAndItsAnswerIsDropped)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* window = nullptr;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW2, {BoolRefArgument(&cancel), DispatchRefArgument(&window)}), S_OK);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].kind, NavigateComplete);
    EXPECT_EQ(recorder.calls[0].url, L"");
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(WebViewEventAgentTest, NewWindow3WritesTheAnswerToCancel)
{
    Recorder recorder;
    Bind(recorder);
    OwnedBstr url(L"http://example.test/popup");
    OwnedBstr context(L"http://example.test/");
    IDispatch* window = nullptr;

    VARIANT_BOOL cancel = VARIANT_FALSE;
    recorder.answer = true;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), &cancel, &window, context.Get())), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    recorder.answer = false;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), &cancel, &window, context.Get())), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);

    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].kind, NewWindow);
    EXPECT_EQ(recorder.calls[0].url, L"http://example.test/popup");
}

TEST_F(WebViewEventAgentTest, UnboundNewWindow3LetsTheWindowOpen)
{
    OwnedBstr url(L"http://example.test/popup");
    VARIANT_BOOL cancel = VARIANT_TRUE;
    IDispatch* window = nullptr;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), &cancel, &window, nullptr)), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(WebViewEventAgentTest, OtherEventsCallNothing)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr text(L"http://example.test/");
    VARIANT address = BstrArgument(text.Get());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    // BeforeNavigate2 carries an address and a Cancel flag too.
    std::vector<VARIANT> beforeNavigate = {BoolRefArgument(&cancel), Typed(VT_BYREF | VT_VARIANT),
        Typed(VT_BYREF | VT_VARIANT), Typed(VT_BYREF | VT_VARIANT), Typed(VT_BYREF | VT_VARIANT),
        VariantRefArgument(&address), Typed(VT_DISPATCH)};
    EXPECT_EQ(Raise(agent, DISPID_BEFORENAVIGATE2, beforeNavigate), S_OK);
    for (DISPID id : {0, 250, 253, 271, 274, -1})
        EXPECT_EQ(Raise(agent, id, {VariantRefArgument(&address)}), S_OK) << id;
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(WebViewEventAgentTest, NullParametersAreRefused)
{
    Recorder recorder;
    Bind(recorder);
    for (DISPID id : {DISPID_NEWWINDOW2, DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW3, 250})
        EXPECT_EQ(agent->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                      nullptr),
            E_INVALIDARG)
            << id;
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(WebViewEventAgentTest, MissingArgumentsGiveNoAddressAndNoCancel)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr url(L"http://example.test/popup");
    IDispatch* window = nullptr;

    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {}, 0), S_OK);
    DISPPARAMS noArray = {nullptr, nullptr, 2, 0};
    EXPECT_EQ(agent->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArray,
                  nullptr, nullptr, nullptr),
        S_OK);
    // Cancel lies just past the three arguments given: it is not the agent's to write.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), &cancel, &window, nullptr), 3), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);

    ASSERT_EQ(recorder.calls.size(), 3u);
    EXPECT_EQ(recorder.calls[0].url, L"");
    EXPECT_EQ(recorder.calls[1].url, L"");
    EXPECT_EQ(recorder.calls[2].url, L"http://example.test/popup");
}

TEST_F(WebViewEventAgentTest, ArgumentsOfOtherTypesGiveNoAddressAndNoCancel)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr text(L"http://example.test/");
    VARIANT number = LongArgument(42);
    VARIANT address = BstrArgument(text.Get());
    VARIANT nested = VariantRefArgument(&address);
    IDispatch* window = nullptr;

    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {LongArgument(42), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(&number), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_DOCUMENTCOMPLETE, {VariantRefArgument(&nested), Typed(VT_DISPATCH)}), S_OK);
    // NewWindow3 takes its address only as a plain string.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(nullptr, &cancel, &window, nullptr)), S_OK);
    std::vector<VARIANT> byReference = NewWindow3Arguments(nullptr, &cancel, &window, nullptr);
    byReference[0] = VariantRefArgument(&address);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, byReference), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // A Cancel of another type is left alone.
    cancel = VARIANT_FALSE;
    std::vector<VARIANT> plainCancel = NewWindow3Arguments(text.Get(), &cancel, &window, nullptr);
    plainCancel[3] = Typed(VT_BOOL);
    plainCancel[3].boolVal = VARIANT_FALSE;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, plainCancel), S_OK);
    EXPECT_EQ(plainCancel[3].boolVal, VARIANT_FALSE);
    LONG flag = 0;
    std::vector<VARIANT> wrongReference = NewWindow3Arguments(text.Get(), &cancel, &window, nullptr);
    wrongReference[3] = Typed(VT_BYREF | VT_I4);
    wrongReference[3].plVal = &flag;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, wrongReference), S_OK);
    EXPECT_EQ(flag, 0);

    ASSERT_EQ(recorder.calls.size(), 7u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(recorder.calls[i].url, L"") << i;
    EXPECT_EQ(recorder.calls[5].url, L"http://example.test/");
}

TEST_F(WebViewEventAgentTest, NullReferencesAreNotFollowed)
{
    Recorder recorder;
    recorder.answer = true;
    Bind(recorder);
    OwnedBstr url(L"http://example.test/popup");
    IDispatch* window = nullptr;
    EXPECT_EQ(Raise(agent, DISPID_NAVIGATECOMPLETE2, {VariantRefArgument(nullptr), Typed(VT_DISPATCH)}), S_OK);
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), nullptr, &window, nullptr)), S_OK);
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].url, L"");
    EXPECT_EQ(recorder.calls[1].url, L"http://example.test/popup");
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
    ULONG referencesDuringCallback = 0;
    HWND windowAfterDestroy = reinterpret_cast<HWND>(1);
    recorder.onEvent = [&](WebView* view) {
        WindManager::Instance()->DestroyWebView(view);
        // Still valid until the dispatch is over, and held by nothing but the dispatch.
        windowAfterDestroy = WindManager::Instance()->GetWebViewWindow(view);
        referencesDuringCallback = agent->AddRef();
        agent->Release();
    };
    webView = nullptr;

    OwnedBstr url(L"http://example.test/popup");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* window = nullptr;
    EXPECT_EQ(Raise(agent, DISPID_NEWWINDOW3, NewWindow3Arguments(url.Get(), &cancel, &window, nullptr)), S_OK);
    EXPECT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(windowAfterDestroy, nullptr);
    EXPECT_EQ(referencesDuringCallback, 2u);
    EXPECT_EQ(cancel, VARIANT_TRUE);
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
