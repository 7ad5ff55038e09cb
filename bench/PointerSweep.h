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
    // The times of the moves that change an image.
    std::vector<double> ChangingMoveTimes() const;

    std::vector<double> microseconds;
    std::vector<long long> presents;
    long long partialPresents = 0;
    std::vector<size_t> reached;
    std::vector<size_t> imageChanges;

private:
    LiteralButtons model;
    // The state each button last drew, -1 before its first drawing.
    std::vector<int> drawn;
};
