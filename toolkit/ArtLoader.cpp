// Decodes art on a second thread and hands it over once that thread has ended.
#include "toolkit/ArtLoader.h"

#include "toolkit/Dpi.h"

ArtLoader::ArtLoader() : startedId(0), startedDpi(0), artDesignSize{} {}

ArtLoader::~ArtLoader()
{
    if (thread)
        WaitForSingleObject(thread.Get(), INFINITE);
}

void ArtLoader::Start(WORD id, int dpi)
{
    if (thread && id == startedId && dpi == startedDpi)
        return;
    if (thread)
        WaitForSingleObject(thread.Get(), INFINITE);
    startedId = id;
    startedDpi = dpi;
    art.reset();
    // GDI+ is started here, before another thread uses it.
    WindManager::Instance();
    thread.Reset(CreateThread(nullptr, 0, &ArtLoader::Decode, this, 0, nullptr));
}

ImagePtr ArtLoader::Take(WORD id, int dpi, SIZE& designSize)
{
    if (thread) {
        WaitForSingleObject(thread.Get(), INFINITE);
        thread.Reset();
        if (art && id == startedId && dpi == startedDpi) {
            designSize = artDesignSize;
            return std::move(art);
        }
        art.reset();
    }
    return Dpi::Premultiplied(Dpi::LoadScaledArt(id, dpi, designSize));
}

DWORD WINAPI ArtLoader::Decode(void* loader)
{
    auto* self = static_cast<ArtLoader*>(loader);
    // Premultiplied here too, so that the window's thread only copies it.
    self->art = Dpi::Premultiplied(Dpi::LoadScaledArt(self->startedId, self->startedDpi, self->artDesignSize));
    return 0;
}
