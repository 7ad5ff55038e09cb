#include "bench/PresentProbe.h"

#include "bench/QpcClock.h"

long long PresentProbe::count = 0;
int64_t PresentProbe::firstPresent = 0;
UpdateLayeredWindowProc PresentProbe::forward = nullptr;

PresentProbe::PresentProbe()
    : realUpdate(WindManager::Instance()->GetUpdateLayeredEntryPoint())
    , realAttributes(WindManager::Instance()->GetSetLayeredAttributesEntryPoint())
{
    count = 0;
    firstPresent = 0;
    forward = realUpdate;
    WindManager::Instance()->SetLayeredEntryPoints(&Counting, realAttributes);
}

PresentProbe::~PresentProbe()
{
    WindManager::Instance()->SetLayeredEntryPoints(realUpdate, realAttributes);
}

BOOL WINAPI PresentProbe::Counting(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
    POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    ++count;
    BOOL result = forward(window, destination, destinationPoint, size, source, sourcePoint, key, blend, flags);
    if (!firstPresent)
        firstPresent = QpcClock::Now();
    return result;
}
