// What a button draws through: the surface it lies on, and where it tells what it drew.
#pragma once

#include <windows.h>
#include <gdiplus.h>

class Button;

class ButtonHost {
public:
    // The surface a button draws itself on; null when the window paints its buttons itself.
    virtual Gdiplus::Graphics* Surface() = 0;
    // Draws afresh what lies under a rectangle of the surface, as before any button was drawn.
    virtual void RestoreUnder(const RECT& area) = 0;
    // The button was drawn (or is to be painted) in its rectangle, in its present state. False
    // when that reaches no screen yet: there is no window.
    virtual bool Drawn(const Button& button) = 0;

protected:
    ~ButtonHost() = default;
};
