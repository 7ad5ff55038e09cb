#pragma once

#include <windows.h>

#include <vector>

#include "toolkit/WindManager.h"

// Counts the presents of every layered window while it lives, whole or in part, passing each on
// to the system.
class PresentCounter {
public:
    PresentCounter()
        : manager(WindManager::Instance())
        , realUpdate(manager->GetUpdateLayeredEntryPoint())
        , realAttributes(manager->GetSetLayeredAttributesEntryPoint())
        , realIndirect(manager->GetUpdateLayeredIndirectEntryPoint())
    {
        forward = realUpdate;
        forwardIndirect = realIndirect;
        count = 0;
        whole = 0;
        dirty.clear();
        manager->SetLayeredEntryPoints(&Counting, realAttributes);
        manager->SetUpdateLayeredIndirectEntryPoint(realIndirect ? &CountingIndirect : nullptr);
    }
    ~PresentCounter()
    {
        manager->SetLayeredEntryPoints(realUpdate, realAttributes);
        manager->SetUpdateLayeredIndirectEntryPoint(realIndirect);
    }

    bool Forwards() const { return realUpdate != nullptr; }
    int Take()
    {
        int taken = count;
        count = 0;
        return taken;
    }
    // The presents of the whole surface, and the dirty rectangles of the partial ones, since last asked.
    int TakeWhole()
    {
        int taken = whole;
        whole = 0;
        return taken;
    }
    std::vector<RECT> TakeDirty()
    {
        std::vector<RECT> taken;
        taken.swap(dirty);
        return taken;
    }

private:
    static BOOL WINAPI Counting(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
        POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
    {
        ++count;
        ++whole;
        return forward(window, destination, destinationPoint, size, source, sourcePoint, key, blend, flags);
    }
    static BOOL WINAPI CountingIndirect(HWND window, const UPDATELAYEREDWINDOWINFO* info)
    {
        ++count;
        dirty.push_back(info->prcDirty ? *info->prcDirty : RECT{});
        return forwardIndirect(window, info);
    }

    static inline int count = 0;
    static inline int whole = 0;
    static inline std::vector<RECT> dirty;
    static inline UpdateLayeredWindowProc forward = nullptr;
    static inline UpdateLayeredWindowIndirectProc forwardIndirect = nullptr;
    WindManager* manager;
    UpdateLayeredWindowProc realUpdate;
    SetLayeredWindowAttributesProc realAttributes;
    UpdateLayeredWindowIndirectProc realIndirect;
};
