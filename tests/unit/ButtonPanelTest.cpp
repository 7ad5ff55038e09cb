// The keyboard's and the pointer's rules of a window's buttons, on buttons without a window.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/LayeredSurface.h"
#include "windows/Button.h"
#include "windows/ButtonPanel.h"

namespace {

class Clicks : public CallbackBase {
public:
    void OnClick(int, Button* sender, int) { clicked.push_back(sender); }
    std::vector<Button*> clicked;
};

// Three 22 x 22 buttons side by side at (10, 10), (50, 10) and (90, 10), shown in that order.
class ButtonPanelRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            buttons[i]->SetPosition(10 + 40 * i, 10);
            ASSERT_TRUE(buttons[i]->SetImages(102, 103, 104));
            buttons[i]->AddListener(ButtonClick, &clicks, static_cast<ButtonHandler>(&Clicks::OnClick));
        }
        panel.SetButtons({&first, &second, &third});
    }

    ButtonPanel::Outcome Key(WPARAM key, LPARAM data = 1) { return panel.Offer(nullptr, WM_KEYDOWN, key, data); }
    ButtonPanel::Outcome Mouse(UINT message, int x, int y) { return panel.Offer(nullptr, message, 0, MAKELPARAM(x, y)); }
    // The button with the ring, -1 for none.
    int Ring() const
    {
        for (int i = 0; i < 3; ++i) {
            if (buttons[i]->HasFocusRing())
                return i;
        }
        return -1;
    }

    LayeredSurface surface;
    ButtonPanel panel{&surface};
    Button first{&panel};
    Button second{&panel};
    Button third{&panel};
    Button* buttons[3] = {&first, &second, &third};
    Clicks clicks;
};

} // namespace

TEST_F(ButtonPanelRules, TabOrF6BringsTheRingWhichGoesRoundBothWays)
{
    EXPECT_EQ(Key(VK_RETURN), ButtonPanel::NotTaken);
    EXPECT_EQ(Key(VK_RIGHT), ButtonPanel::NotTaken);
    EXPECT_EQ(Ring(), -1);
    EXPECT_EQ(Key(VK_F6), ButtonPanel::Taken);
    EXPECT_EQ(Ring(), 0);
    EXPECT_TRUE(panel.HasKeyboard());
    const struct {
        WPARAM key;
        int ring;
    } steps[] = {{VK_RIGHT, 1}, {VK_DOWN, 2}, {VK_RIGHT, 0}, {VK_LEFT, 2}, {VK_UP, 1}, {VK_TAB, 2}, {VK_TAB, 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(Key(step.key), ButtonPanel::Taken) << step.key;
        EXPECT_EQ(Ring(), step.ring) << step.key;
    }
    EXPECT_EQ(Key('A'), ButtonPanel::NotTaken);
    EXPECT_EQ(Ring(), 0);
}

TEST_F(ButtonPanelRules, EnterAndSpaceClickOncePerPressAndEscapeOrF6GiveTheKeyboardBack)
{
    const LPARAM held = 1 | (1 << 30);
    Key(VK_TAB);
    Key(VK_RIGHT);
    EXPECT_EQ(Key(VK_RETURN), ButtonPanel::Taken);
    EXPECT_EQ(Key(VK_SPACE, held), ButtonPanel::Taken);
    EXPECT_EQ(Key(VK_SPACE), ButtonPanel::Taken);
    EXPECT_EQ(clicks.clicked, (std::vector<Button*>{&second, &second}));

    for (WPARAM key : {VK_ESCAPE, VK_F6}) {
        EXPECT_EQ(Key(key), ButtonPanel::KeyboardToPage) << key;
        EXPECT_EQ(Ring(), -1) << key;
        EXPECT_FALSE(panel.HasKeyboard()) << key;
        Key(VK_TAB);
    }
}

TEST_F(ButtonPanelRules, ThePointerTakesTheRingAwayAndTheButtonUnderItTakesTheMove)
{
    Key(VK_TAB);
    EXPECT_EQ(Mouse(WM_LBUTTONDOWN, 200, 200), ButtonPanel::NotTaken);
    EXPECT_EQ(Ring(), -1);
    Key(VK_TAB);
    panel.Offer(nullptr, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Ring(), -1);

    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 55, 15), ButtonPanel::Taken);
    EXPECT_EQ(first.GetState(), Normal);
    EXPECT_EQ(second.GetState(), Hover);
    // Offered in order until one takes it: a button after that one is not reached.
    third.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(95, 15));
    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 55, 15), ButtonPanel::Taken);
    EXPECT_EQ(third.GetState(), Hover);
    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 200, 200), ButtonPanel::NotTaken);
    EXPECT_EQ(second.GetState(), Normal);
    EXPECT_EQ(third.GetState(), Normal);
}

TEST_F(ButtonPanelRules, AButtonNoLongerShownLosesTheRingAndItsPlace)
{
    Key(VK_TAB);
    Key(VK_RIGHT);
    panel.SetButtons({&first, &third});
    EXPECT_EQ(Ring(), -1);
    EXPECT_EQ(panel.ChildId(&second), 0);
    EXPECT_EQ(panel.ChildId(&third), 2);

    Key(VK_TAB);
    panel.SetButtons({&third, &first});
    EXPECT_EQ(Ring(), 0);
    Key(VK_RIGHT);
    EXPECT_EQ(Ring(), 2);
    // Nothing to post a press to without a window.
    EXPECT_FALSE(panel.PressLater(0));
}
