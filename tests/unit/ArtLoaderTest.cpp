#include <gtest/gtest.h>

#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "toolkit/ArtLoader.h"
#include "toolkit/Dpi.h"

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
    EXPECT_TRUE(PremultipliedPixels(art.get()) == PremultipliedPixels(Dpi::LoadScaledArt(IMAGE_SKIN, 168, same).get()));

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
