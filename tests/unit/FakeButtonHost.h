// A host for buttons without a window: it records what they tell it, and may lend them a canvas.
#pragma once

#include <vector>

#include "windows/Button.h"

class FakeButtonHost : public ButtonHost {
public:
    Gdiplus::Graphics* Surface() override { return canvas; }
    void RestoreUnder(const RECT& area) override { restored.push_back(area); }
    bool Drawn(const Button& button) override
    {
        drawn.push_back(button.GetState());
        return reaches;
    }

    Gdiplus::Graphics* canvas = nullptr;
    bool reaches = true;
    std::vector<RECT> restored;
    std::vector<ButtonState> drawn;
};
