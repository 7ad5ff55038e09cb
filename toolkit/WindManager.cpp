// GDI+, PNG resources, popups, layered-window calls and web views for the windows.
#include "toolkit/WindManager.h"

#include <cstring>

#include "toolkit/ComPtr.h"
#include "toolkit/SystemLibrary.h"

WindManager* WindManager::Instance()
{
    // Constructed on the first call, which happens before any window exists; the destructor
    // is registered with the exit handlers then, so it runs after every later static object.
    static WindManager instance;
    return &instance;
}

WindManager::WindManager()
    : module(GetModuleHandleW(nullptr))
    , gdiplusToken(0)
    , updateLayeredWindow(nullptr)
    , setLayeredWindowAttributes(nullptr)
    , updateLayeredWindowIndirect(nullptr)
{
    gdiplusInput.GdiplusVersion = 1;
    gdiplusInput.DebugEventCallback = nullptr;
    gdiplusInput.SuppressBackgroundThread = FALSE;
    gdiplusInput.SuppressExternalCodecs = FALSE;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    // Looked up by name so that a system without them still starts.
    HMODULE user32 = SystemLibrary::Load(L"user32.dll");
    updateLayeredWindow = SystemLibrary::Find<UpdateLayeredWindowProc>(user32, "UpdateLayeredWindow");
    setLayeredWindowAttributes =
        SystemLibrary::Find<SetLayeredWindowAttributesProc>(user32, "SetLayeredWindowAttributes");
    updateLayeredWindowIndirect =
        SystemLibrary::Find<UpdateLayeredWindowIndirectProc>(user32, "UpdateLayeredWindowIndirect");
}

WindManager::~WindManager()
{
    Gdiplus::GdiplusShutdown(gdiplusToken);
}

const BYTE* WindManager::ResourceBytes(WORD id, const wchar_t* type, DWORD& size) const
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    size = resource ? SizeofResource(module, resource) : 0;
    HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

ImagePtr WindManager::LoadPngResource(WORD id, const wchar_t* type)
{
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(id, type, size);
    if (!bytes)
        return nullptr;

    // GDI+ may read the stream for as long as the image lives, so the image gets a copy of
    // its own, owned by the stream and freed when GDI+ lets go of the stream.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(copy, bytes, size);
    GlobalUnlock(block);

    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        GlobalFree(block);
        return nullptr;
    }
    return ImagePtr(new Gdiplus::Image(stream.Get()));
}

bool WindManager::HasResource(WORD id, const wchar_t* type) const
{
    DWORD size = 0;
    return ResourceBytes(id, type, size) != nullptr;
}

bool WindManager::PngResourceSize(WORD id, const wchar_t* type, SIZE& size, POINT* offset) const
{
    // The signature, then the header chunk's length and name, then its width and height.
    static const BYTE start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    DWORD length = 0;
    const BYTE* bytes = ResourceBytes(id, type, length);
    if (!bytes || length < sizeof(start) + 8 || memcmp(bytes, start, sizeof(start)) != 0)
        return false;
    auto bigEndian = [](const BYTE* at) { return static_cast<LONG>(at[0] << 24 | at[1] << 16 | at[2] << 8 | at[3]); };
    size = SIZE{bigEndian(bytes + sizeof(start)), bigEndian(bytes + sizeof(start) + 4)};
    if (offset) {
        // The chunks before the image data: length, name, data, checksum. An oFFs chunk in
        // pixels (unit 0) gives the image's place.
        *offset = POINT{0, 0};
        for (DWORD at = 8; at + 12 <= length;) {
            DWORD chunk = static_cast<DWORD>(bigEndian(bytes + at));
            if (memcmp(bytes + at + 4, "IDAT", 4) == 0 || chunk > length - at - 12)
                break;
            if (memcmp(bytes + at + 4, "oFFs", 4) == 0 && chunk == 9 && bytes[at + 16] == 0)
                *offset = POINT{bigEndian(bytes + at + 8), bigEndian(bytes + at + 12)};
            at += 12 + chunk;
        }
    }
    return size.cx > 0 && size.cy > 0;
}

bool WindManager::UpdateLayered(HWND window, HDC destination, POINT* destinationPoint, SIZE* size, HDC source,
    POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    if (!updateLayeredWindow)
        return false;
    return updateLayeredWindow(window, destination, destinationPoint, size, source, sourcePoint, key, blend, flags)
        != FALSE;
}

bool WindManager::SetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags)
{
    if (!setLayeredWindowAttributes)
        return false;
    return setLayeredWindowAttributes(window, key, alpha, flags) != FALSE;
}

bool WindManager::UpdateLayeredIndirect(HWND window, const UPDATELAYEREDWINDOWINFO* info)
{
    if (!updateLayeredWindowIndirect)
        return false;
    return updateLayeredWindowIndirect(window, info) != FALSE;
}

void WindManager::SetUpdateLayeredIndirectEntryPoint(UpdateLayeredWindowIndirectProc indirect)
{
    updateLayeredWindowIndirect = indirect;
}

void WindManager::SetLayeredEntryPoints(UpdateLayeredWindowProc update, SetLayeredWindowAttributesProc attributes)
{
    updateLayeredWindow = update;
    setLayeredWindowAttributes = attributes;
}

int WindManager::ScreenWidth() const
{
    return GetSystemMetrics(SM_CXFULLSCREEN);
}

int WindManager::ScreenHeight() const
{
    return GetSystemMetrics(SM_CYFULLSCREEN);
}
