// Decodes a resource's art on a thread of its own while the window it is for is made.
#pragma once

#include <windows.h>

#include "toolkit/UniqueHandle.h"
#include "toolkit/WindManager.h"

struct CloseThreadHandle {
    void operator()(HANDLE thread) const { CloseHandle(thread); }
};

// The art is what Dpi::LoadScaledArt gives for a resource and a DPI, premultiplied.
class ArtLoader {
public:
    ArtLoader();
    ArtLoader(const ArtLoader&) = delete;
    ArtLoader& operator=(const ArtLoader&) = delete;
    // Waits for a thread that still runs.
    ~ArtLoader();

    // Begins decoding the art of a resource at a DPI, unless it has begun already.
    void Start(WORD id, int dpi);
    // The art of a resource at a DPI and its design size: what the thread decoded where it was
    // started for them and succeeded, once it has ended; else decoded here and now.
    ImagePtr Take(WORD id, int dpi, SIZE& designSize);

private:
    static DWORD WINAPI Decode(void* loader);

    WORD startedId;
    int startedDpi;
    ImagePtr art;
    SIZE artDesignSize;
    UniqueHandle<HANDLE, CloseThreadHandle> thread;
};
