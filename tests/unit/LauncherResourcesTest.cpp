#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <set>
#include <string>

#include "TestSupport.h"
#include "resources/ResourceIds.h"
#include "toolkit/ComPtr.h"
#include "toolkit/Dpi.h"
#include "toolkit/WindManager.h"

namespace {

// launcher.exe is built beside the test executable; its resources are read as data.
class LauncherModule {
public:
    LauncherModule()
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring launcher(path);
        launcher.replace(launcher.find_last_of(L'\\') + 1, std::wstring::npos, L"launcher.exe");
        module = LoadLibraryExW(launcher.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~LauncherModule()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE Get() const { return module; }

    std::unique_ptr<Gdiplus::Bitmap> Png(WORD id, const wchar_t* type = L"PNG") const
    {
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!resource)
            return nullptr;
        DWORD size = SizeofResource(module, resource);
        const void* bytes = LockResource(LoadResource(module, resource));
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
        ComPtr<IStream> stream;
        CreateStreamOnHGlobal(block, TRUE, stream.Put());
        std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream.Get()));
        return bitmap->GetLastStatus() == Gdiplus::Ok ? std::move(bitmap) : nullptr;
    }

private:
    HMODULE module = nullptr;
};

BYTE AlphaAt(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color colour;
    bitmap.GetPixel(x, y, &colour);
    return colour.GetA();
}

} // namespace

TEST(LauncherResources, ImagesHaveTheSizesTheWindowsExpect)
{
    WindManager::Instance();
    LauncherModule launcher;
    ASSERT_NE(launcher.Get(), nullptr);

    struct Expected {
        WORD first, last;
        UINT width, height;
    };
    for (const Expected& range : {Expected{IMAGE_SKIN, IMAGE_SKIN, 1186, 954},
             Expected{IMAGE_MINIMIZE_NORMAL, IMAGE_CLOSE_PRESSED, 22, 22},
             Expected{IMAGE_FORUM_NORMAL, IMAGE_SITE_PRESSED, 80, 37},
             Expected{IMAGE_GAME_MINIMIZE_NORMAL, IMAGE_GAME_CLOSE_PRESSED, 30, 27},
             Expected{IMAGE_RETRY_NORMAL, IMAGE_RETRY_PRESSED, 96, 37}}) {
        for (WORD id = range.first; id <= range.last; ++id) {
            std::unique_ptr<Gdiplus::Bitmap> image = launcher.Png(id);
            ASSERT_NE(image, nullptr) << id;
            EXPECT_EQ(image->GetWidth(), range.width) << id;
            EXPECT_EQ(image->GetHeight(), range.height) << id;
        }
    }
}

TEST(LauncherResources, TheCommonScalesHaveTheLoginButtonsAtTheSizesLaidOutThere)
{
    WindManager::Instance();
    LauncherModule launcher;
    struct Placed {
        WORD first, last;
        RECT design;
    };
    const Placed placed[] = {{IMAGE_MINIMIZE_NORMAL, IMAGE_MINIMIZE_PRESSED, {1014, 364, 1036, 386}},
        {IMAGE_CLOSE_NORMAL, IMAGE_CLOSE_PRESSED, {1045, 364, 1067, 386}},
        {IMAGE_FORUM_NORMAL, IMAGE_FORUM_PRESSED, {789, 406, 869, 443}},
        {IMAGE_RECHARGE_NORMAL, IMAGE_RECHARGE_PRESSED, {652, 405, 732, 442}},
        {IMAGE_SERVICE_NORMAL, IMAGE_SERVICE_PRESSED, {897, 406, 977, 443}},
        {IMAGE_SITE_NORMAL, IMAGE_SITE_PRESSED, {542, 405, 622, 442}}};
    for (int percent : {125, 150}) {
        const std::wstring type = L"PNG" + std::to_wstring(percent);
        for (const Placed& item : placed) {
            RECT scaled = Dpi::Scale(item.design, percent * Dpi::design / 100);
            for (WORD id = item.first; id <= item.last; ++id) {
                std::unique_ptr<Gdiplus::Bitmap> image = launcher.Png(id, type.c_str());
                ASSERT_NE(image, nullptr) << percent << " " << id;
                EXPECT_EQ(image->GetWidth(), static_cast<UINT>(scaled.right - scaled.left)) << percent << " " << id;
                EXPECT_EQ(image->GetHeight(), static_cast<UINT>(scaled.bottom - scaled.top)) << percent << " " << id;
            }
        }
    }
}

TEST(LauncherResources, SkinIsSeeThroughExactlyOverThePage)
{
    WindManager::Instance();
    LauncherModule launcher;
    std::unique_ptr<Gdiplus::Bitmap> skin = launcher.Png(IMAGE_SKIN);
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(Gdiplus::IsAlphaPixelFormat(skin->GetPixelFormat()));

    Gdiplus::Rect hole(477, 450, 1050 - 477 + 1, 734 - 450 + 1);
    Gdiplus::BitmapData data;
    ASSERT_EQ(skin->LockBits(&hole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
    int opaqueInHole = 0;
    for (UINT y = 0; y < data.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (UINT x = 0; x < data.Width; ++x)
            opaqueInHole += (row[x] >> 24) != 0;
    }
    skin->UnlockBits(&data);
    EXPECT_EQ(opaqueInHole, 0);

    // The page covers the opaque row above the hole too; the frame closes the hole all round.
    for (int x = 477; x <= 1050; ++x)
        ASSERT_EQ(AlphaAt(*skin, x, 449), 255) << x;
    EXPECT_EQ(AlphaAt(*skin, 476, 600), 255);
    EXPECT_EQ(AlphaAt(*skin, 1051, 600), 255);
    EXPECT_EQ(AlphaAt(*skin, 760, 735), 255);
}

TEST(LauncherResources, IconManifestAndVersionAreThere)
{
    LauncherModule launcher;
    ASSERT_NE(launcher.Get(), nullptr);
    HRSRC group = FindResourceW(launcher.Get(), MAKEINTRESOURCEW(ICON_LAUNCHER), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    // The icon directory: a count, then one 14-byte entry each, width first (0 means 256).
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(launcher.Get(), group)));
    WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        BYTE width = directory[6 + 14 * i];
        sizes.insert(width ? width : 256);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));

    EXPECT_NE(FindResourceW(launcher.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);
    EXPECT_NE(FindResourceW(launcher.Get(), MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
}
