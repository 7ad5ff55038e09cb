#pragma once

#include <windows.h>

#include <vector>

#include "windows/Button.h"

// The login window's buttons as the unchanged rule treats a pointer move: the move is offered
// to them in order until one holds the point, and every button it reaches takes Hover (the one
// holding it) or Normal. Left and top edges are in, right and bottom out.
class LiteralButtons {
public:
    explicit LiteralButtons(std::vector<RECT> buttonRects);

    // Applies a move; answers how many buttons it reached, in offer order.
    size_t Move(POINT point);
    // Whether the last button reached holds the point.
    bool Taken(POINT point, size_t reached) const;

    size_t Count() const { return rects.size(); }
    const RECT& Rect(size_t button) const { return rects[button]; }
    ButtonState State(size_t button) const { return states[button]; }

private:
    std::vector<RECT> rects;
    std::vector<ButtonState> states;
};
