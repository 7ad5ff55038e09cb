#include "bench/SweepPath.h"

#include <algorithm>
#include <cstdlib>

std::vector<POINT> SweepPath::Make(size_t moves)
{
    std::vector<POINT> lap = Lap();
    std::vector<POINT> path;
    path.reserve(moves);
    while (path.size() < moves)
        path.push_back(lap[path.size() % lap.size()]);
    return path;
}

void SweepPath::Stroke(std::vector<POINT>& points, POINT from, POINT to, int step)
{
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    int steps = std::max(1, (std::max(std::abs(dx), std::abs(dy)) + step - 1) / step);
    for (int i = 0; i <= steps; ++i)
        points.push_back(POINT{from.x + dx * i / steps, from.y + dy * i / steps});
}

std::vector<POINT> SweepPath::Lap()
{
    std::vector<POINT> points;
    // Along the rows of buttons, through their inside and along their last rows.
    for (LONG y : {375L, 385L}) {
        Stroke(points, POINT{990, y}, POINT{1090, y}, 2);
        Stroke(points, POINT{1090, y}, POINT{990, y}, 2);
    }
    for (LONG y : {420L, 441L}) {
        Stroke(points, POINT{500, y}, POINT{1000, y}, 2);
        Stroke(points, POINT{1000, y}, POINT{500, y}, 2);
    }
    // Down through the middle of each button, and diagonally across both rows.
    for (LONG x : {1025L, 1056L, 582L, 692L, 829L, 937L})
        Stroke(points, POINT{x, 340}, POINT{x, 470}, 2);
    Stroke(points, POINT{480, 470}, POINT{1100, 350}, 2);
    Stroke(points, POINT{1100, 470}, POINT{480, 350}, 2);
    // Small circles inside each button: the image stays as it is.
    const POINT centres[] = {{1025, 375}, {1056, 375}, {582, 423}, {692, 423}, {829, 424}, {937, 424}};
    const POINT ring[] = {{0, -6}, {4, -4}, {6, 0}, {4, 4}, {0, 6}, {-4, 4}, {-6, 0}, {-4, -4}};
    for (const POINT& centre : centres) {
        for (int turn = 0; turn < 5; ++turn) {
            for (const POINT& offset : ring)
                points.push_back(POINT{centre.x + offset.x, centre.y + offset.y});
        }
    }
    // Then the bare skin above and below the buttons and the page, back and forth.
    const LONG skinRows[] = {40, 150, 260, 340, 780, 880};
    bool rightwards = true;
    for (LONG y : skinRows) {
        Stroke(points, POINT{rightwards ? 20 : 1160, y}, POINT{rightwards ? 1160 : 20, y}, 4);
        rightwards = !rightwards;
    }
    return points;
}
