#pragma once

#include <windows.h>

#include <vector>

#include "bench/LiteralButtons.h"

// Sends a path as WM_MOUSEMOVE messages to a login window and records, per message, its time,
// the presents it caused, and what the unchanged rule predicts: how many buttons the move
// reaches and how many of them come to show another image than they last drew.
class PointerSweep {
public:
    explicit PointerSweep(std::vector<RECT> buttonRects);

    void Run(HWND window, const std::vector<POINT>& path);

    std::vector<double> microseconds;
    std::vector<long long> presents;
    std::vector<size_t> reached;
    std::vector<size_t> imageChanges;

private:
    LiteralButtons model;
    // The state each button last drew, -1 before its first drawing.
    std::vector<int> drawn;
};
