#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "toolkit/WindManager.h"

namespace {

const UINT probeMessage = WM_APP + 7;

// Records what reaches it and answers as told.
class Recorder : public CallbackBase {
public:
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        messages.push_back(message);
        if (message == WM_CREATE) {
            slotAtCreate = GetWindowLongPtrW(window, GWLP_USERDATA);
            return createResult;
        }
        if (message == probeMessage)
            return 1234;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    bool Saw(UINT message) const
    {
        for (UINT m : messages)
            if (m == message)
                return true;
        return false;
    }

    std::vector<UINT> messages;
    LONG_PTR slotAtCreate = -1;
    LRESULT createResult = 0;
};

HWND CreateFor(Recorder* recorder, const wchar_t* title = L"", COLORREF colour = 0)
{
    return WindManager::Instance()->CreatePopupWindow(title, 10, 20, 200, 100,
        static_cast<WndProcHandler>(&Recorder::Handle), recorder, colour, nullptr);
}

} // namespace

TEST(PopupWindow, MessagesReachTheOwnersHandler)
{
    Recorder recorder;
    HWND window = CreateFor(&recorder, L"Title");
    ASSERT_NE(window, nullptr);

    // WM_CREATE came before the user-data slot was filled.
    EXPECT_TRUE(recorder.Saw(WM_CREATE));
    EXPECT_EQ(recorder.slotAtCreate, 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_USERDATA), 0);

    EXPECT_EQ(SendMessageW(window, probeMessage, 0, 0), 1234);

    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, L"LoginerWind");
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_VISIBLE | WS_CAPTION), WS_POPUP);

    DestroyWindow(window);
    EXPECT_TRUE(recorder.Saw(WM_DESTROY));
    EXPECT_TRUE(recorder.Saw(WM_NCDESTROY));
}

TEST(PopupWindow, CreateAnsweredWithMinusOneFailsCreation)
{
    Recorder recorder;
    recorder.createResult = -1;
    EXPECT_EQ(CreateFor(&recorder), nullptr);
    EXPECT_TRUE(recorder.Saw(WM_CREATE));
}

TEST(PopupWindow, WithoutOwnerOnlyDefaultProcessing)
{
    Recorder recorder;
    HWND window = WindManager::Instance()->CreatePopupWindow(nullptr, 0, 0, 50, 50,
        static_cast<WndProcHandler>(&Recorder::Handle), nullptr, 0, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);
    EXPECT_EQ(SendMessageW(window, probeMessage, 0, 0), 0);
    EXPECT_TRUE(recorder.messages.empty());

    // A null title is an empty one.
    EXPECT_EQ(GetWindowTextLengthW(window), 0);
    DestroyWindow(window);
}

TEST(PopupWindow, ClassIsRegisteredOnceWithTheFirstBackground)
{
    Recorder first;
    HWND one = CreateFor(&first);
    Recorder second;
    HWND two = CreateFor(&second, L"", RGB(255, 0, 0));
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    // Every caller in the program asks for the system window colour; a later colour changes nothing.
    EXPECT_EQ(GetClassLongPtrW(two, GCLP_HBRBACKGROUND), COLOR_WINDOW + 1);
    DestroyWindow(one);
    DestroyWindow(two);
}
