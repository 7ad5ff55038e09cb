#include "bench/PresentProbe.h"

#include "bench/QpcClock.h"

long long PresentProbe::count = 0;
long long PresentProbe::partialCount = 0;
int64_t PresentProbe::firstPresent = 0;
UpdateLayeredWindowProc PresentProbe::forward = nullptr;
UpdateLayeredWindowIndirectProc PresentProbe::forwardPartial = nullptr;

PresentProbe::PresentProbe()
    : realUpdate(WindManager::Instance()->GetUpdateLayeredEntryPoint())
    , realAttributes(WindManager::Instance()->GetSetLayeredAttributesEntryPoint())
    , realPartial(WindManager::Instance()->GetUpdateLayeredIndirectEntryPoint())
{
    count = 0;
    partialCount = 0;
    firstPresent = 0;
    forward = realUpdate;
    forwardPartial = realPartial;
    WindManager::Instance()->SetLayeredEntryPoints(&Counting, realAttributes);
    WindManager::Instance()->SetUpdateLayeredIndirectEntryPoint(realPartial ? &CountingPartial : nullptr);
}

PresentProbe::~PresentProbe()
{
    WindManager::Instance()->SetLayeredEntryPoints(realUpdate, realAttributes);
    WindManager::Instance()->SetUpdateLayeredIndirectEntryPoint(realPartial);
}

void PresentProbe::Counted()
{
    ++count;
    if (!firstPresent)
        firstPresent = QpcClock::Now();
}

BOOL WINAPI PresentProbe::Counting(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
    POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    BOOL result = forward(window, destination, destinationPoint, size, source, sourcePoint, key, blend, flags);
    Counted();
    return result;
}

BOOL WINAPI PresentProbe::CountingPartial(HWND window, const UPDATELAYEREDWINDOWINFO* info)
{
    BOOL result = forwardPartial(window, info);
    ++partialCount;
    Counted();
    return result;
}
