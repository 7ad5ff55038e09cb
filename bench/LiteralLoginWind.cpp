#include "bench/LiteralLoginWind.h"

#include "resources/ResourceIds.h"

namespace {

// Normal, hover and pressed resources, in the order the window offers messages.
const WORD imageIds[6][3] = {
    {IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_HOVER, IMAGE_MINIMIZE_PRESSED},
    {IMAGE_CLOSE_NORMAL, IMAGE_CLOSE_HOVER, IMAGE_CLOSE_PRESSED},
    {IMAGE_SITE_NORMAL, IMAGE_SITE_HOVER, IMAGE_SITE_PRESSED},
    {IMAGE_RECHARGE_NORMAL, IMAGE_RECHARGE_HOVER, IMAGE_RECHARGE_PRESSED},
    {IMAGE_FORUM_NORMAL, IMAGE_FORUM_HOVER, IMAGE_FORUM_PRESSED},
    {IMAGE_SERVICE_NORMAL, IMAGE_SERVICE_HOVER, IMAGE_SERVICE_PRESSED},
};

} // namespace

LiteralLoginWind::LiteralLoginWind(Rule rule)
    : rule(rule)
    , literal(ButtonRects())
    , drawn{-1, -1, -1, -1, -1, -1}
{
    for (int button = 0; button < 6; ++button) {
        for (int state = 0; state < 3; ++state)
            images[button][state] = WindManager::Instance()->LoadPngResource(imageIds[button][state], L"PNG");
    }
}

LRESULT LiteralLoginWind::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_MOUSEMOVE)
        return LoginProbe::HandleMessage(window, message, wParam, lParam);

    POINT point = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    size_t reached = literal.Move(point);
    Gdiplus::Graphics* graphics = surface.Graphics();
    for (size_t i = 0; i < reached && graphics; ++i) {
        if (rule == EveryImageChange && drawn[i] == literal.State(i))
            continue;
        drawn[i] = literal.State(i);
        const RECT& rect = literal.Rect(i);
        graphics->DrawImage(images[i][literal.State(i)].get(), static_cast<INT>(rect.left), static_cast<INT>(rect.top),
            static_cast<INT>(rect.right - rect.left), static_cast<INT>(rect.bottom - rect.top));
        surface.Present();
    }
    if (literal.Taken(point, reached))
        return 0;
    // The login window leaves pointer moves to the base window.
    return SpecialWind::HandleMessage(window, message, wParam, lParam);
}
