#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FakeButtonHost.h"
#include "TestResources.h"
#include "PresentCounter.h"
#include "ProbeWind.h"
#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "windows/Button.h"
#include "windows/SpecialWind.h"

namespace {

ImagePtr LoadPng(int id)
{
    return WindManager::Instance()->LoadPngResource(static_cast<WORD>(id), L"PNG");
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

// What a listener saw, including the sender's state at the moment of the call.
struct Call {
    int eventId;
    Button* sender;
    int parameter;
    ButtonState state;
    bool pressed;
};

class Recorder : public CallbackBase {
public:
    void OnEvent(int eventId, Button* sender, int parameter)
    {
        calls.push_back(Call{eventId, sender, parameter, sender->GetState(), sender->IsPressed()});
    }
    void OnOther(int, Button*, int) { ++others; }

    std::vector<Call> calls;
    int others = 0;
};

const ButtonHandler onEvent = static_cast<ButtonHandler>(&Recorder::OnEvent);
const ButtonHandler onOther = static_cast<ButtonHandler>(&Recorder::OnOther);

// The pixels of a GDI+ bitmap, top row first, as 0xAARRGGBB like a surface's.
Pixels Read(Gdiplus::Bitmap& bitmap)
{
    Pixels pixels;
    pixels.width = static_cast<int>(bitmap.GetWidth());
    pixels.height = static_cast<int>(bitmap.GetHeight());
    pixels.data.resize(static_cast<size_t>(pixels.width) * pixels.height);
    Gdiplus::Rect all(0, 0, pixels.width, pixels.height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return pixels;
    for (int y = 0; y < pixels.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) + y * data.Stride);
        std::copy(row, row + pixels.width, pixels.data.begin() + static_cast<size_t>(y) * pixels.width);
    }
    bitmap.UnlockBits(&data);
    return pixels;
}

// A resource image as decoded, at the given size.
Pixels Decode(int id, int width, int height)
{
    ImagePtr image = LoadPng(id);
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    if (image) {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.DrawImage(image.get(), 0, 0, width, height);
    }
    return Read(bitmap);
}

bool Close(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1)
            return false;
    }
    return true;
}

// Whether the surface shows exactly this image inside the rectangle.
::testing::AssertionResult ShowsImage(const Pixels& surface, const RECT& rect, const Pixels& image)
{
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            uint32_t want = image.At(x - rect.left, y - rect.top);
            if (!Close(surface.At(x, y), want))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                     << surface.At(x, y) << ", image has " << want;
        }
    }
    return ::testing::AssertionSuccess();
}

// Whether the two surfaces agree everywhere outside the rectangle.
::testing::AssertionResult SameOutside(const Pixels& surface, const Pixels& before, const RECT& rect)
{
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            POINT point = {x, y};
            if (!PtInRect(&rect, point) && surface.At(x, y) != before.At(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") outside changed";
        }
    }
    return ::testing::AssertionSuccess();
}

// A drawing target for Button::Draw, transparent black to begin with.
class Canvas {
public:
    Canvas(int width, int height) : bitmap(width, height, PixelFormat32bppARGB), graphics(&bitmap)
    {
        blank.width = width;
        blank.height = height;
        blank.data.assign(static_cast<size_t>(width) * height, 0);
    }
    Gdiplus::Graphics* Graphics() { return &graphics; }
    // The image inside the rectangle and nothing outside it.
    ::testing::AssertionResult ShowsOnly(const RECT& rect, const Pixels& image)
    {
        Pixels drawn = Read(bitmap);
        ::testing::AssertionResult inside = ShowsImage(drawn, rect, image);
        return inside ? SameOutside(drawn, blank, rect) : inside;
    }

private:
    Gdiplus::Bitmap bitmap;
    Gdiplus::Graphics graphics;
    Pixels blank;
};

// A 22 x 22 button at (10, 20) on a host without a surface.
class ButtonClicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        button.SetPosition(10, 20);
        ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
        button.AddListener(ButtonClick, &recorder, onEvent);
    }

    bool Send(UINT message, int x, int y) { return button.HandleMessage(nullptr, message, 0, At(x, y)); }

    FakeButtonHost owner;
    Button button{&owner};
    Recorder recorder;
};

} // namespace

TEST_F(ButtonClicks, PressMoveReleaseInsideClicksOnceBeforeTheReset)
{
    EXPECT_TRUE(Send(WM_LBUTTONDOWN, 15, 25));
    EXPECT_EQ(button.GetState(), Pressed);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_TRUE(Send(WM_MOUSEMOVE, 16, 25));
    EXPECT_EQ(button.GetState(), Hover);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_TRUE(Send(WM_LBUTTONUP, 16, 25));

    ASSERT_EQ(recorder.calls.size(), 1u);
    const Call& call = recorder.calls[0];
    EXPECT_EQ(call.eventId, ButtonClick);
    EXPECT_EQ(call.sender, &button);
    EXPECT_EQ(call.parameter, 0);
    EXPECT_EQ(call.state, Hover);
    EXPECT_TRUE(call.pressed);
    EXPECT_EQ(button.GetState(), Normal);
    EXPECT_FALSE(button.IsPressed());

    // The hover image comes back only with the next move; a second press and release clicks again.
    EXPECT_TRUE(Send(WM_MOUSEMOVE, 16, 25));
    EXPECT_EQ(button.GetState(), Hover);
    Send(WM_LBUTTONDOWN, 16, 25);
    Send(WM_LBUTTONUP, 16, 25);
    EXPECT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[1].state, Pressed);
}

TEST_F(ButtonClicks, OnlyAPressThatBeganInsideAndEndsInsideClicks)
{
    // Press inside, leave, release outside.
    Send(WM_LBUTTONDOWN, 15, 25);
    EXPECT_FALSE(Send(WM_MOUSEMOVE, 100, 25));
    EXPECT_EQ(button.GetState(), Normal);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_FALSE(Send(WM_LBUTTONUP, 100, 25));
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(button.GetState(), Normal);
    EXPECT_FALSE(button.IsPressed());

    // Press outside, move in, release inside.
    EXPECT_FALSE(Send(WM_LBUTTONDOWN, 100, 25));
    EXPECT_FALSE(button.IsPressed());
    Send(WM_MOUSEMOVE, 15, 25);
    EXPECT_TRUE(Send(WM_LBUTTONUP, 15, 25));
    EXPECT_TRUE(recorder.calls.empty());

    // A release inside with no press at all.
    EXPECT_TRUE(Send(WM_LBUTTONUP, 15, 25));
    EXPECT_TRUE(recorder.calls.empty());

    // Press inside, leave, come back, release inside.
    Send(WM_LBUTTONDOWN, 15, 25);
    Send(WM_MOUSEMOVE, 100, 25);
    Send(WM_MOUSEMOVE, 12, 22);
    Send(WM_LBUTTONUP, 12, 22);
    EXPECT_EQ(recorder.calls.size(), 1u);

    // A press outside forgets an earlier press inside.
    Send(WM_LBUTTONDOWN, 15, 25);
    Send(WM_LBUTTONDOWN, 100, 25);
    Send(WM_LBUTTONUP, 15, 25);
    EXPECT_EQ(recorder.calls.size(), 1u);
}

TEST_F(ButtonClicks, LeftAndTopEdgesAreInsideRightAndBottomAreNot)
{
    EXPECT_TRUE(SameRect(button.GetRect(), RECT{10, 20, 32, 42}));
    struct Probe {
        int x, y;
        bool inside;
    } probes[] = {
        {10, 20, true}, {31, 41, true}, {10, 41, true}, {31, 20, true},
        {32, 20, false}, {10, 42, false}, {9, 20, false}, {10, 19, false}, {32, 42, false},
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(Send(WM_MOUSEMOVE, probe.x, probe.y), probe.inside) << probe.x << ", " << probe.y;
        EXPECT_EQ(button.GetState(), probe.inside ? Hover : Normal) << probe.x << ", " << probe.y;
    }

    // The point's words are unsigned: 65510 is far right, not 26 left of the origin.
    button.SetPosition(65500, 10);
    EXPECT_TRUE(Send(WM_MOUSEMOVE, 65510, 15));
}

TEST_F(ButtonClicks, OtherMessagesChangeNothingAndAnswerFalse)
{
    Send(WM_LBUTTONDOWN, 15, 25);
    for (UINT message : {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MOUSEWHEEL,
             WM_NCMOUSEMOVE, WM_MOUSELEAVE, WM_KEYDOWN, WM_CHAR, WM_PAINT, WM_SIZE}) {
        EXPECT_FALSE(Send(message, 15, 25)) << message;
        EXPECT_EQ(button.GetState(), Pressed) << message;
        EXPECT_TRUE(button.IsPressed()) << message;
    }
    EXPECT_TRUE(recorder.calls.empty());
}

TEST(ButtonOnHost, DrawsOnlyWhatChangesAndRestoresUnderARemovedRing)
{
    Canvas canvas(64, 64);
    FakeButtonHost host;
    host.canvas = canvas.Graphics();
    Button button(&host);
    button.SetPosition(10, 20);
    ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    button.Redraw();
    button.Redraw();
    EXPECT_EQ(host.drawn, (std::vector<ButtonState>{Normal}));
    EXPECT_TRUE(canvas.ShowsOnly(button.GetRect(), Decode(IMAGE_MINIMIZE_NORMAL, 22, 22)));

    button.HandleMessage(nullptr, WM_MOUSEMOVE, 0, At(15, 25));
    button.HandleMessage(nullptr, WM_MOUSEMOVE, 0, At(16, 25));
    EXPECT_EQ(host.drawn, (std::vector<ButtonState>{Normal, Hover}));
    button.SetFocusRing(true);
    EXPECT_TRUE(host.restored.empty());
    button.SetFocusRing(false);
    ASSERT_EQ(host.restored.size(), 1u);
    EXPECT_TRUE(SameRect(host.restored[0], button.GetRect()));
    EXPECT_EQ(host.drawn.size(), 4u);
}

TEST(ButtonOnHost, ADrawingThatReachesNoScreenIsTriedAgain)
{
    FakeButtonHost host;
    host.reaches = false;
    Button button(&host);
    ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    button.Redraw();
    button.Redraw();
    EXPECT_EQ(host.drawn.size(), 2u);
    host.reaches = true;
    button.Redraw();
    button.Redraw();
    EXPECT_EQ(host.drawn.size(), 3u);
    EXPECT_TRUE(host.restored.empty());
}

TEST(Button, ListenerIdentityIsEventTargetAndHandler)
{
    FakeButtonHost owner;
    Button button(&owner);
    Recorder first;
    Recorder second;
    EXPECT_TRUE(button.AddListener(ButtonClick, &first, onEvent));
    EXPECT_TRUE(button.AddListener(ButtonClick, &first, onEvent));
    EXPECT_TRUE(button.AddListener(7, &first, onEvent));
    EXPECT_TRUE(button.AddListener(ButtonClick, &second, onEvent));
    EXPECT_TRUE(button.AddListener(ButtonClick, &first, onOther));

    button.Notify(ButtonClick, 0);
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(first.others, 1);

    button.Notify(7, 5);
    ASSERT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(first.calls[1].eventId, 7);
    EXPECT_EQ(first.calls[1].parameter, 5);
    EXPECT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(first.others, 1);
}

namespace {

// Registers many more listeners the first time it is called, enough to move the array.
class Spawner : public CallbackBase {
public:
    void OnEvent(int eventId, Button* sender, int)
    {
        if (spawned)
            return;
        spawned = true;
        for (Recorder& recorder : recorders)
            sender->AddListener(eventId, &recorder, onEvent);
        sender->AddListener(eventId + 1, &other, onEvent);
    }

    bool spawned = false;
    std::vector<Recorder> recorders = std::vector<Recorder>(40);
    Recorder other;
};

} // namespace

TEST(Button, ListenersAddedByAHandlerAreCalledInTheSameLoop)
{
    FakeButtonHost owner;
    Button button(&owner);
    Recorder before;
    Spawner spawner;
    button.AddListener(ButtonClick, &before, onEvent);
    button.AddListener(ButtonClick, &spawner, static_cast<ButtonHandler>(&Spawner::OnEvent));

    button.SetPosition(0, 0);
    ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    button.HandleMessage(nullptr, WM_LBUTTONDOWN, 0, At(5, 5));
    button.HandleMessage(nullptr, WM_LBUTTONUP, 0, At(5, 5));

    EXPECT_EQ(before.calls.size(), 1u);
    for (const Recorder& recorder : spawner.recorders) {
        ASSERT_EQ(recorder.calls.size(), 1u);
        EXPECT_EQ(recorder.calls[0].sender, &button);
    }
    EXPECT_TRUE(spawner.other.calls.empty());
}

TEST(Button, WithoutImagesTheRectangleIsEmptyAtItsCorner)
{
    FakeButtonHost owner;
    Button button(&owner);
    EXPECT_TRUE(SameRect(button.GetRect(), RECT{0, 0, 0, 0}));
    EXPECT_EQ(button.GetState(), Normal);
    EXPECT_FALSE(button.IsPressed());

    button.SetPosition(40, 50);
    EXPECT_TRUE(SameRect(button.GetRect(), RECT{40, 50, 40, 50}));
    EXPECT_FALSE(button.HandleMessage(nullptr, WM_MOUSEMOVE, 0, At(40, 50)));
    EXPECT_EQ(button.GetState(), Normal);
}

TEST(Button, PositionAndImagesInEitherOrderGiveTheSameRectangle)
{
    FakeButtonHost owner;
    Button positionFirst(&owner);
    positionFirst.SetPosition(542, 405);
    ASSERT_TRUE(positionFirst.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
    Button imagesFirst(&owner);
    ASSERT_TRUE(imagesFirst.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
    imagesFirst.SetPosition(542, 405);

    EXPECT_TRUE(SameRect(positionFirst.GetRect(), RECT{542, 405, 622, 442}));
    EXPECT_TRUE(SameRect(imagesFirst.GetRect(), RECT{542, 405, 622, 442}));

    // Moving keeps the size.
    imagesFirst.SetPosition(3, 4);
    EXPECT_TRUE(SameRect(imagesFirst.GetRect(), RECT{3, 4, 83, 41}));
}

TEST(Button, FailedSetImagesChangesNothing)
{
    FakeButtonHost owner;
    Button button(&owner);
    button.SetPosition(10, 20);
    EXPECT_FALSE(button.SetImages(MISSING_ID, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    EXPECT_FALSE(button.SetImages(IMAGE_MINIMIZE_NORMAL, MISSING_ID, IMAGE_MINIMIZE_PRESSED));
    EXPECT_FALSE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, MISSING_ID));
    // Hover and pressed images are decoded only when first shown, but looked for at once.
    EXPECT_FALSE(button.SetImages(IMAGE_MINIMIZE_NORMAL, EMPTY_PNG_ID, IMAGE_MINIMIZE_PRESSED));
    EXPECT_FALSE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, EMPTY_PNG_ID));
    EXPECT_TRUE(SameRect(button.GetRect(), RECT{10, 20, 10, 20}));

    ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    EXPECT_FALSE(button.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, MISSING_ID));
    EXPECT_TRUE(SameRect(button.GetRect(), RECT{10, 20, 32, 42}));

    // The old images are still the ones drawn, the hover image too.
    Canvas canvas(64, 64);
    button.Draw(canvas.Graphics());
    EXPECT_TRUE(canvas.ShowsOnly(button.GetRect(), Decode(IMAGE_MINIMIZE_NORMAL, 22, 22)));
    button.HandleMessage(nullptr, WM_MOUSEMOVE, 0, At(15, 25));
    Canvas hovered(64, 64);
    button.Draw(hovered.Graphics());
    EXPECT_TRUE(hovered.ShowsOnly(button.GetRect(), Decode(IMAGE_MINIMIZE_HOVER, 22, 22)));
    // A resource that is there but no image still counts, as when it was decoded at once.
    EXPECT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, NOT_AN_IMAGE_ID, IMAGE_MINIMIZE_PRESSED));
}

namespace {

// A login-sized skin window with one 80 x 37 link button on it, presents counted.
class ButtonOnSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(counter.Forwards());
        ASSERT_NE(wind.GetSurface().Graphics(), nullptr);
        button.SetPosition(542, 405);
        ASSERT_TRUE(button.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
        for (int state = Normal; state <= Pressed; ++state)
            images[state] = Decode(IMAGE_SITE_NORMAL + state, 80, 37);
        skin = wind.Surface();
        counter.Take();
    }

    // Offers one message to a button as its owner does: what the button drew is presented after.
    void Send(Button& target, UINT message, int x, int y)
    {
        target.HandleMessage(wind.GetHandle(), message, 0, At(x, y));
        wind.GetSurface().PresentChanges();
    }

    // Sends one message and checks the surface and the number of presents it cost.
    void Expect(UINT message, int x, int y, ButtonState state, int presents)
    {
        SCOPED_TRACE(::testing::Message() << "message " << message << " at " << x << ", " << y);
        Send(button, message, x, y);
        EXPECT_EQ(button.GetState(), state);
        EXPECT_EQ(counter.Take(), presents);
        Pixels surface = wind.Surface();
        EXPECT_TRUE(ShowsImage(surface, button.GetRect(), images[state]));
        EXPECT_TRUE(SameOutside(surface, skin, button.GetRect()));
    }

    PresentCounter counter;
    ProbeWind wind{LoadPng(IMAGE_SKIN)};
    Button button{wind.Host()};
    Pixels images[3];
    Pixels skin;
};

} // namespace

TEST_F(ButtonOnSkin, SurfaceShowsTheStateAndPresentsOnlyChanges)
{
    // A message at a point, the state it leaves and the presents it costs. The first message draws
    // even though the state stays Normal: nothing has been drawn yet.
    const struct {
        UINT message;
        int x;
        int y;
        ButtonState state;
        int presents;
    } steps[] = {{WM_MOUSEMOVE, 10, 10, Normal, 1}, {WM_MOUSEMOVE, 11, 10, Normal, 0},
        {WM_MOUSEMOVE, 550, 410, Hover, 1}, {WM_MOUSEMOVE, 551, 410, Hover, 0}, {WM_LBUTTONDOWN, 551, 410, Pressed, 1},
        {WM_LBUTTONDOWN, 551, 410, Pressed, 0}, {WM_MOUSEMOVE, 552, 411, Hover, 1}, {WM_LBUTTONUP, 552, 411, Normal, 1},
        {WM_LBUTTONUP, 552, 411, Normal, 0}, {WM_LBUTTONDOWN, 10, 10, Normal, 0}, {WM_MOUSEMOVE, 621, 441, Hover, 1},
        {WM_MOUSEMOVE, 622, 441, Normal, 1}};
    for (const auto& step : steps)
        Expect(step.message, step.x, step.y, step.state, step.presents);

    // Other messages neither draw nor present.
    Expect(WM_MOUSEMOVE, 560, 420, Hover, 1);
    for (UINT message : {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_PAINT})
        Expect(message, 10, 10, Hover, 0);
}

TEST_F(ButtonOnSkin, NothingStaysLitOrPressedOnceThePointerOrTheWindowIsGone)
{
    // The pointer leaves the window: the lit button goes back to normal.
    Expect(WM_MOUSEMOVE, 560, 420, Hover, 1);
    Expect(WM_MOUSELEAVE, 0, 0, Normal, 1);
    // A press captures the mouse; the release outside the window clicks nothing and lets it go.
    Expect(WM_LBUTTONDOWN, 560, 420, Pressed, 1);
    EXPECT_EQ(GetCapture(), wind.GetHandle());
    Expect(WM_LBUTTONUP, 2000, 2000, Normal, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    // A press that loses the capture, the system's attention or the activation is over.
    for (UINT message : {WM_CAPTURECHANGED, WM_CANCELMODE, WM_ACTIVATE}) {
        Expect(WM_LBUTTONDOWN, 560, 420, Pressed, 1);
        Expect(message, 0, 0, Normal, 1);
        EXPECT_FALSE(button.IsPressed()) << message;
        ReleaseCapture();
    }
}

TEST_F(ButtonOnSkin, ImagesOfAnotherSizeAreStretchedIntoTheRectangle)
{
    // 22 x 22 normal image, 80 x 37 hover and pressed images.
    Button small(wind.Host());
    small.SetPosition(100, 100);
    ASSERT_TRUE(small.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
    Send(small, WM_MOUSEMOVE, 105, 105);
    Send(small, WM_LBUTTONDOWN, 105, 105);
    EXPECT_EQ(counter.Take(), 2);
    EXPECT_TRUE(SameOutside(wind.Surface(), skin, RECT{100, 100, 122, 122}));
}

TEST_F(ButtonOnSkin, MovingOrNewImagesDrawAgainAtTheNextMessage)
{
    Expect(WM_MOUSEMOVE, 10, 10, Normal, 1);

    button.SetPosition(542, 405);
    Expect(WM_MOUSEMOVE, 10, 10, Normal, 0);

    // The literal redraw would paint the new images at the next message, so must this.
    ASSERT_TRUE(button.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
    Send(button, WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(counter.Take(), 1);

    button.SetPosition(300, 500);
    Send(button, WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(counter.Take(), 1);
    EXPECT_TRUE(ShowsImage(wind.Surface(), button.GetRect(), images[Normal]));
}

namespace {

// Ends its window from inside the click, as the game window's close button does.
class Closer : public CallbackBase {
public:
    void OnEvent(int, Button*, int)
    {
        DestroyWindow(window);
        ++clicks;
    }
    HWND window = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(ButtonOnSkin, AHandlerThatDestroysTheWindowStillLeavesTheButtonReset)
{
    Closer closer;
    closer.window = wind.GetHandle();
    button.AddListener(ButtonClick, &closer, static_cast<ButtonHandler>(&Closer::OnEvent));
    button.HandleMessage(wind.GetHandle(), WM_LBUTTONDOWN, 0, At(550, 410));
    button.HandleMessage(wind.GetHandle(), WM_LBUTTONUP, 0, At(550, 410));
    EXPECT_EQ(closer.clicks, 1);
    EXPECT_FALSE(IsWindow(closer.window));
    EXPECT_EQ(button.GetState(), Normal);
    EXPECT_FALSE(button.IsPressed());
    PumpMessages();
}

TEST(ButtonOnLateSurface, MessagesBeforeTheSurfaceExistsDrawNothingAndCountForNothing)
{
    // Owners set their buttons up before their window exists.
    PresentCounter counter;
    ASSERT_TRUE(counter.Forwards());
    ProbeWind wind;
    Button button(wind.Host());
    button.SetPosition(542, 405);
    ASSERT_TRUE(button.SetImages(IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED));
    button.HandleMessage(nullptr, WM_MOUSEMOVE, 0, At(10, 10));
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.Take(), 0);

    ASSERT_TRUE(wind.CreateWithSkin(LoadPng(IMAGE_SKIN), nullptr));
    counter.Take();
    button.HandleMessage(wind.GetHandle(), WM_MOUSEMOVE, 0, At(10, 10));
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.Take(), 1);
    EXPECT_TRUE(ShowsImage(wind.Surface(), button.GetRect(), Decode(IMAGE_SITE_NORMAL, 80, 37)));
}

TEST(ButtonOnColourKey, RedrawPresentsNothingAndAsksToRepaintTheButtonOnly)
{
    PresentCounter counter;
    ASSERT_TRUE(counter.Forwards());
    ProbeWind wind;
    ASSERT_TRUE(wind.CreateWithColorKey(300, 200, RGB(255, 0, 255), nullptr));
    Button button(wind.Host());
    button.SetPosition(10, 10);
    ASSERT_TRUE(button.SetImages(IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED));
    counter.Take();

    ShowWindow(wind.GetHandle(), SW_SHOWNA);
    ValidateRect(wind.GetHandle(), nullptr);
    button.HandleMessage(wind.GetHandle(), WM_MOUSEMOVE, 0, At(1, 1));
    button.HandleMessage(wind.GetHandle(), WM_MOUSEMOVE, 0, At(15, 15));
    button.HandleMessage(wind.GetHandle(), WM_LBUTTONDOWN, 0, At(15, 15));
    ReleaseCapture();
    button.Redraw();
    wind.GetSurface().PresentChanges();
    EXPECT_EQ(counter.Take(), 0);
    EXPECT_EQ(button.GetState(), Pressed);
    RECT update = {};
    GetUpdateRect(wind.GetHandle(), &update, FALSE);
    RECT rect = button.GetRect();
    EXPECT_TRUE(EqualRect(&update, &rect));

    // The owner paints with Draw instead: the pressed image, in the rectangle only.
    Canvas canvas(300, 200);
    button.Draw(canvas.Graphics());
    EXPECT_TRUE(canvas.ShowsOnly(button.GetRect(), Decode(IMAGE_MINIMIZE_PRESSED, 22, 22)));
}

namespace {

struct Placement {
    int x, y, normal;
};

// The login window's six buttons, in the order the window offers them messages.
const Placement loginButtons[] = {
    {1014, 364, IMAGE_MINIMIZE_NORMAL},
    {1045, 364, IMAGE_CLOSE_NORMAL},
    {542, 405, IMAGE_SITE_NORMAL},
    {652, 405, IMAGE_RECHARGE_NORMAL},
    {789, 406, IMAGE_FORUM_NORMAL},
    {897, 406, IMAGE_SERVICE_NORMAL},
};

// A small fixed generator, so the sweep is the same on every run.
class Walk {
public:
    unsigned Next(unsigned bound)
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    }

private:
    unsigned seed = 20240613u;
};

// The login window's surface with its six buttons, presents counted.
class ButtonSweep : public ::testing::Test {
protected:
    // What the surface shows is what redrawing after every message would show.
    void ShowsEveryButton()
    {
        Pixels surface = wind.Surface();
        for (size_t i = 0; i < buttons.size(); ++i) {
            RECT rect = buttons[i]->GetRect();
            Pixels image = Decode(loginButtons[i].normal + buttons[i]->GetState(), rect.right - rect.left,
                rect.bottom - rect.top);
            EXPECT_TRUE(ShowsImage(surface, rect, image)) << "button " << i;
        }
    }

    PresentCounter counter;
    ProbeWind wind{LoadPng(IMAGE_SKIN)};
    std::vector<std::unique_ptr<Button>> buttons;
};

} // namespace

TEST_F(ButtonSweep, ThousandMovesPresentOnlyWhenAnImageChanges)
{
    ASSERT_TRUE(counter.Forwards());
    ASSERT_NE(wind.GetSurface().Graphics(), nullptr);
    for (const Placement& placement : loginButtons) {
        buttons.emplace_back(new Button(wind.Host()));
        buttons.back()->SetPosition(placement.x, placement.y);
        ASSERT_TRUE(buttons.back()->SetImages(placement.normal, placement.normal + 1, placement.normal + 2));
    }
    counter.Take();

    // The pointer drifts in small steps, as a hand moves it, and now and then jumps next to a
    // button (edges included), so that it crosses button edges often.
    Walk walk;
    int shown[6] = {-1, -1, -1, -1, -1, -1};
    int expected = 0;
    int counted = 0;
    int literal = 0;
    int changingMoves = 0;
    int x = 593;
    int y = 477;
    for (int move = 0; move < 1000; ++move) {
        if (walk.Next(12) == 0) {
            RECT rect = buttons[walk.Next(6)]->GetRect();
            x = rect.left - 3 + static_cast<int>(walk.Next(rect.right - rect.left + 6));
            y = rect.top - 3 + static_cast<int>(walk.Next(rect.bottom - rect.top + 6));
        } else {
            x = std::min(std::max(x + static_cast<int>(walk.Next(13)) - 6, 0), 1185);
            y = std::min(std::max(y + static_cast<int>(walk.Next(13)) - 6, 0), 953);
        }

        int changes = 0;
        for (size_t i = 0; i < buttons.size(); ++i) {
            ++literal;
            bool inside = buttons[i]->HandleMessage(wind.GetHandle(), WM_MOUSEMOVE, 0, At(x, y));
            ButtonState state = buttons[i]->GetState();
            ASSERT_EQ(state, inside ? Hover : Normal);
            if (state != shown[i]) {
                shown[i] = state;
                ++changes;
            }
            if (inside)
                break;
        }
        wind.GetSurface().PresentChanges();
        expected += changes;
        if (changes)
            ++changingMoves;
        // One present for all the buttons' changes of a move, none without a change.
        int presents = counter.Take();
        counted += presents;
        ASSERT_EQ(presents, changes ? 1 : 0) << "move " << move << " to " << x << ", " << y;
        if (move % 100 == 99)
            ShowsEveryButton();
    }
    EXPECT_EQ(counted, changingMoves);
    ::testing::Test::RecordProperty("presents", counted);
    ::testing::Test::RecordProperty("imageChanges", expected);
    ::testing::Test::RecordProperty("movesThatChanged", changingMoves);
    ::testing::Test::RecordProperty("literalPresents", literal);
    EXPECT_GT(changingMoves, 50);
    EXPECT_LT(expected, literal);

    ShowsEveryButton();
}
