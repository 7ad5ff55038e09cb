// An owning holder for one GDI object.
#pragma once

#include <windows.h>

// Owns one GDI object (bitmap, brush, ...) and deletes it once.
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : handle(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    H Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

    void Reset(H h = nullptr)
    {
        if (handle)
            DeleteObject(handle);
        handle = h;
    }

private:
    H handle = nullptr;
};
