#include "bench/LiteralButtons.h"

LiteralButtons::LiteralButtons(std::vector<RECT> buttonRects)
    : rects(std::move(buttonRects))
    , states(rects.size(), Normal)
{
}

size_t LiteralButtons::Move(POINT point)
{
    for (size_t i = 0; i < rects.size(); ++i) {
        bool inside = PtInRect(&rects[i], point) != FALSE;
        states[i] = inside ? Hover : Normal;
        if (inside)
            return i + 1;
    }
    return rects.size();
}

bool LiteralButtons::Taken(POINT point, size_t reached) const
{
    return reached > 0 && PtInRect(&rects[reached - 1], point) != FALSE;
}
