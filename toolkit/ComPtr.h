// An owning holder for one COM reference.
#pragma once

#include <unknwn.h>

// Holds one COM reference and releases it exactly once.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // For out-parameters: the old reference is released first.
    T** Put()
    {
        Reset();
        return &pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset()
    {
        if (pointer) {
            T* old = pointer;
            pointer = nullptr;
            old->Release();
        }
    }

    // Takes over a reference the caller already holds.
    void Attach(T* p)
    {
        Reset();
        pointer = p;
    }

    T* Detach()
    {
        T* p = pointer;
        pointer = nullptr;
        return p;
    }

private:
    T* pointer = nullptr;
};
