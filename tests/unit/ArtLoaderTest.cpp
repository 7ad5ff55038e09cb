#include <gtest/gtest.h>

#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "toolkit/ArtLoader.h"
#include "toolkit/Dpi.h"

namespace {

// The pixels of an image, premultiplied, top-down.
std::vector<uint32_t> PixelsOf(Gdiplus::Image* image)
{
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
    Gdiplus::Rect all(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
    Gdiplus::BitmapData data;
    std::vector<uint32_t> pixels;
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return pixels;
    for (int y = 0; y < all.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        pixels.insert(pixels.end(), row, row + all.Width);
    }
    bitmap->UnlockBits(&data);
    return pixels;
}

} // namespace

TEST(ArtLoader, HandsOverWhatItsThreadDecodedOrDecodesWhatIsAskedInstead)
{
    // 175 %: the skin resampled from its twin, half of it on a third thread.
    ArtLoader loader;
    loader.Start(IMAGE_SKIN, 168);
    SIZE design = {};
    ImagePtr art = loader.Take(IMAGE_SKIN, 168, design);
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(art->GetWidth(), 2076u);
    EXPECT_EQ(art->GetHeight(), 1670u);
    EXPECT_EQ(design.cx, 1186);
    EXPECT_EQ(design.cy, 954);
    SIZE same = {};
    EXPECT_EQ(PixelsOf(art.get()), PixelsOf(Dpi::LoadScaledArt(IMAGE_SKIN, 168, same).get()));

    // Started for one scale and asked for another, or never started: what is asked.
    loader.Start(IMAGE_SKIN, 144);
    art = loader.Take(IMAGE_SKIN, 120, design);
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(art->GetWidth(), 1483u);
    ArtLoader idle;
    art = idle.Take(IMAGE_CLOSE_NORMAL, 96, design);
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(art->GetWidth(), 22u);

    // Dropped while its thread decodes: it waits for the thread.
    ArtLoader dropped;
    dropped.Start(IMAGE_SKIN, 192);
}
