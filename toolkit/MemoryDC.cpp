// Creates a memory DC and puts its original bitmap back before deleting it.
#include "toolkit/MemoryDC.h"

bool MemoryDC::Create(HDC compatibleWith)
{
    Reset();
    dc = CreateCompatibleDC(compatibleWith);
    return dc != nullptr;
}

void MemoryDC::Select(HBITMAP bitmap)
{
    HGDIOBJ previous = SelectObject(dc, bitmap);
    if (!originalBitmap)
        originalBitmap = previous;
}

void MemoryDC::Reset()
{
    if (!dc)
        return;
    if (originalBitmap)
        SelectObject(dc, originalBitmap);
    DeleteDC(dc);
    dc = nullptr;
    originalBitmap = nullptr;
}
