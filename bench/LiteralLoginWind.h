#pragma once

#include "bench/LiteralButtons.h"
#include "bench/LoginProbe.h"

// The yardsticks of the pointer sweep: the login window as it would be if the buttons that see
// a pointer move redrew their images and each pushed the whole surface, every button reached
// (the literal rule) or only those whose image changes (the rule before presents were gathered
// and cut to what changed). Same window, surface, rectangles, images and offer order as the
// product; only the moves are taken over, and the sweep sends nothing else.
class LiteralLoginWind : public LoginProbe {
public:
    enum Rule { EveryButtonReached, EveryImageChange };

    explicit LiteralLoginWind(Rule rule);

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Rule rule;
    LiteralButtons literal;
    ImagePtr images[6][3];
    // The state each button last drew, -1 before its first drawing.
    int drawn[6];
};
