#pragma once

#include "bench/LiteralButtons.h"
#include "bench/LoginProbe.h"

// The yardstick of the pointer sweep: the login window as it would be if every button that
// sees a pointer move redrew its image and pushed the whole surface, changed or not. Same
// window, surface, rectangles, images and offer order as the product; only the moves are
// taken over, and the sweep sends nothing else.
class LiteralLoginWind : public LoginProbe {
public:
    LiteralLoginWind();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LiteralButtons literal;
    ImagePtr images[6][3];
};
