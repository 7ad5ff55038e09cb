// A move-only owner of one handle and the call that closes it.
#pragma once

// Close is a function object that takes the handle; it may carry what the close call needs
// besides the handle (the window of a DC). An empty holder closes nothing.
template <typename H, typename Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h, Close close = Close()) : handle(h), close(close) {}
    UniqueHandle(UniqueHandle&& other) : handle(other.handle), close(other.close) { other.handle = H(); }
    UniqueHandle& operator=(UniqueHandle&& other)
    {
        if (this != &other) {
            Reset(other.handle);
            close = other.close;
            other.handle = H();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    H Get() const { return handle; }
    explicit operator bool() const { return handle != H(); }

    void Reset(H h = H())
    {
        if (handle != H())
            close(handle);
        handle = h;
    }

private:
    H handle = H();
    Close close;
};
