#pragma once

#include "TestSupport.h"
#include "windows/Button.h"
#include "windows/SpecialWind.h"

// A skinned window whose state the tests can see, and which takes its window away with it.
class ProbeWind : public SpecialWind {
public:
    using SpecialWind::SpecialWind;
    ~ProbeWind() override
    {
        if (windowHandle)
            DestroyWindow(windowHandle);
        PumpMessages();
    }
    RECT Rect() const { return windowRect; }
    RECT Restore() const { return restoreRect; }
    ButtonHost* Host() { return &panel; }
    Pixels Surface() const { return ReadBitmap(surface.DC(), surface.Bitmap()); }
};
