#pragma once

#include <cstdint>
#include <vector>

#include "windows/LoginWind.h"

// The product's login window with what the benchmark needs to see: its buttons' rectangles in
// the order the window offers them messages, and when its WM_CREATE (which makes the page)
// began and ended.
// It never outlives its window.
class LoginProbe : public LoginWind {
public:
    ~LoginProbe() override;

    std::vector<RECT> ButtonRects() const;
    int64_t CreateMessageStart() const { return createMessageStart; }
    int64_t CreateMessageEnd() const { return createMessageEnd; }
    // As the login window's loop begins: the window, then its page.
    void Show();
    // Paints the page now, which the loop would do with its first messages: the frame is complete.
    void PaintPage();
    HWND PageHandle() const { return PageWindow(); }

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int64_t createMessageStart = 0;
    int64_t createMessageEnd = 0;
};
