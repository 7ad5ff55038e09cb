#pragma once

#include <windows.h>

#include <vector>

// Pointer paths over the 1186 x 954 login window, in its client coordinates: strokes along and
// across the rows of buttons, down through each button, circles inside each, then strokes over
// the bare skin. One lap (4,182 moves) is repeated until the path has the moves asked for.
class SweepPath {
public:
    static std::vector<POINT> Make(size_t moves);

private:
    static std::vector<POINT> Lap();
    // Points from `from` to `to`, both included, at most `step` pixels apart on either axis.
    static void Stroke(std::vector<POINT>& points, POINT from, POINT to, int step);
};
