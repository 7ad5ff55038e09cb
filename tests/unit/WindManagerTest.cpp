#include <gtest/gtest.h>

#include "TestResources.h"
#include "resources/ResourceIds.h"
#include "toolkit/WindManager.h"

namespace {

int updateCalls = 0;
BOOL WINAPI FailingUpdate(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD)
{
    ++updateCalls;
    return FALSE;
}
BOOL WINAPI SucceedingAttributes(HWND, COLORREF, BYTE, DWORD)
{
    return TRUE;
}

} // namespace

TEST(WindManager, IsOneObjectForTheProcess)
{
    WindManager* first = WindManager::Instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, WindManager::Instance());
    EXPECT_EQ(first->Module(), GetModuleHandleW(nullptr));
}

TEST(WindManager, LoadPngResourceDecodesOrRefuses)
{
    WindManager* manager = WindManager::Instance();
    EXPECT_EQ(manager->LoadPngResource(MISSING_ID, L"PNG"), nullptr);
    EXPECT_EQ(manager->LoadPngResource(IMAGE_SKIN, L"NOTPNG"), nullptr);
    EXPECT_EQ(manager->LoadPngResource(EMPTY_PNG_ID, L"PNG"), nullptr);

    // Found but undecodable: an image that reads as 0 x 0.
    ImagePtr broken = manager->LoadPngResource(NOT_AN_IMAGE_ID, L"PNG");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetWidth(), 0u);
    EXPECT_EQ(broken->GetHeight(), 0u);

    ImagePtr skin = manager->LoadPngResource(IMAGE_SKIN, L"PNG");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetWidth(), 1186u);
    EXPECT_EQ(skin->GetHeight(), 954u);

    // The size read from the header alone, for PNGs only.
    SIZE size = {};
    EXPECT_TRUE(manager->PngResourceSize(IMAGE_SKIN, L"PNG", size));
    EXPECT_EQ(size.cx, 1186);
    EXPECT_EQ(size.cy, 954);
    for (WORD id : {MISSING_ID, EMPTY_PNG_ID, NOT_AN_IMAGE_ID})
        EXPECT_FALSE(manager->PngResourceSize(id, L"PNG", size)) << id;
}

TEST(WindManager, TwoLoadsAreIndependentImages)
{
    WindManager* manager = WindManager::Instance();
    ImagePtr first = manager->LoadPngResource(IMAGE_SITE_NORMAL, L"PNG");
    ImagePtr second = manager->LoadPngResource(IMAGE_SITE_NORMAL, L"PNG");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    first.reset();

    // The survivor still has its own bytes to decode from.
    Gdiplus::Bitmap target(80, 37, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&target);
    EXPECT_EQ(graphics.DrawImage(second.get(), 0, 0, 80, 37), Gdiplus::Ok);
    EXPECT_EQ(second->GetWidth(), 80u);
}

TEST(WindManager, LayeredCallsReportTheEntryPoint)
{
    WindManager* manager = WindManager::Instance();
    UpdateLayeredWindowProc realUpdate = manager->GetUpdateLayeredEntryPoint();
    SetLayeredWindowAttributesProc realAttributes = manager->GetSetLayeredAttributesEntryPoint();
    EXPECT_NE(realUpdate, nullptr);
    EXPECT_NE(realAttributes, nullptr);

    manager->SetLayeredEntryPoints(nullptr, nullptr);
    EXPECT_FALSE(manager->UpdateLayered(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(manager->SetLayeredAttributes(nullptr, 0, 255, LWA_ALPHA));

    updateCalls = 0;
    manager->SetLayeredEntryPoints(FailingUpdate, SucceedingAttributes);
    EXPECT_FALSE(manager->UpdateLayered(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
    EXPECT_EQ(updateCalls, 1);
    EXPECT_TRUE(manager->SetLayeredAttributes(nullptr, 0, 255, LWA_ALPHA));

    manager->SetLayeredEntryPoints(realUpdate, realAttributes);
}

TEST(WindManager, ScreenSizeIsTheFullScreenClientArea)
{
    EXPECT_EQ(WindManager::Instance()->ScreenWidth(), GetSystemMetrics(SM_CXFULLSCREEN));
    EXPECT_EQ(WindManager::Instance()->ScreenHeight(), GetSystemMetrics(SM_CYFULLSCREEN));
}
