// The one window class of the skinned windows and its trampoline to a member handler.
#include "toolkit/WindManager.h"

#include "resources/ResourceIds.h"

namespace {

const wchar_t popupClassName[] = L"LoginerWind";

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* binding = reinterpret_cast<WndProcBinding*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // The slot is filled only once CreateWindowExW has returned; WM_CREATE brings the binding itself.
    if (!binding && message == WM_CREATE)
        binding = static_cast<WndProcBinding*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (!binding)
        return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = (binding->owner->*binding->handler)(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete binding;
    }
    return result;
}

} // namespace

HWND WindManager::CreatePopupWindow(const wchar_t* title, int x, int y, int width, int height,
    WndProcHandler handler, CallbackBase* owner, COLORREF colour, HWND parent)
{
    // Registering again fails harmlessly once the class exists; the first registration stays.
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PopupWindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(ICON_LAUNCHER));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = colour ? CreateSolidBrush(colour) : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = popupClassName;
    if (!RegisterClassExW(&windowClass) && colour)
        DeleteObject(windowClass.hbrBackground);

    WndProcBinding* binding = (handler && owner) ? new WndProcBinding{owner, handler} : nullptr;
    // Neither box draws anything on a popup; they let the shell minimise it (Win+D, Win+M) and
    // give it the system menu (Alt+Space).
    HWND window = CreateWindowExW(0, popupClassName, title ? title : L"", WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, x, y,
        width, height, parent,
        nullptr, module, binding);
    if (!window) {
        delete binding;
        return nullptr;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding));
    return window;
}

HICON WindManager::LoadAppIcon(int size) const
{
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(ICON_LAUNCHER), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
