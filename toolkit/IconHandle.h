// An owning holder for one icon.
#pragma once

#include <windows.h>

// Owns one icon and destroys it once.
class IconHandle {
public:
    IconHandle() = default;
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle() { Reset(); }

    HICON Get() const { return icon; }
    explicit operator bool() const { return icon != nullptr; }

    void Reset(HICON newIcon = nullptr)
    {
        if (icon)
            DestroyIcon(icon);
        icon = newIcon;
    }

private:
    HICON icon = nullptr;
};
