// The format host's own parts: finding a plug-in's entry through its
// property list, and the TIFF it writes, read back by the loader library.
#include "PsFormatHost.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "pellio/Pellio.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string BinFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

TEST(PsFormatHostTest, ThePluginsEntryIsFoundThroughItsPropertyList)
{
    struct Case {
        const char* file;
        bool loads;
    };
    // The test filter's list names no 'wx86' entry; the bare one has no list.
    const Case cases[] = {{"TlQrfPlugin.8bi", true},
                          {"TlBarePlugin.dll", false},
                          {"TlTestPlugin.dll", false},
                          {"no such plug-in.8bi", false}};
    for (const Case& c : cases) {
        CPsFormatHost host;
        std::string why;
        EXPECT_EQ(c.loads, host.Load(BinFolder() + c.file, &why)) << c.file;
        EXPECT_EQ(c.loads, why.empty()) << c.file << ": " << why;
    }
}

TEST(PsFormatHostTest, TheTiffHoldsThePixelsTheResolutionAndTheProfile)
{
    PsFormatHostResult result;
    result.width = 5;
    result.height = 3;
    result.planes = 3;
    result.hRes = 300 << 16;
    for (int i = 0; i < 5 * 3 * 3; ++i)
        result.pixels.push_back(std::uint8_t(i * 5));
    result.icc = {'p', 'r', 'o', 'f', 'i', 'l', 'e'};
    TempFolder folder;
    const std::string path = folder.File("out.tif");
    ASSERT_TRUE(CPsFormatHost::WriteTiff(result, path));

    IKelvraManager* manager = nullptr;
    ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 64 << 20, 0, 0, &manager));
    IKelvraFileStream* stream = nullptr;
    IKelvraLoad* load = nullptr;
    IKelvraTagControl* tags = nullptr;
    IKelvraImage* image = nullptr;
    ASSERT_EQ(nullptr, CreateFileStream(&stream));
    ASSERT_EQ(nullptr, CreateLoad(&load));
    ASSERT_EQ(nullptr, CreateTagControl(&tags));
    ASSERT_EQ(nullptr, stream->SetPath(path.c_str()));
    ASSERT_EQ(nullptr, stream->Open(kKelvraStreamRead));
    ASSERT_EQ(nullptr, load->Start(stream, tags, 0, 0));
    ASSERT_EQ(nullptr, manager->CreateImage(&image));
    ASSERT_EQ(nullptr, load->SetImage(image));
    while (!load->IsComplete())
        ASSERT_EQ(nullptr, load->Step());
    std::vector<std::uint8_t> pixels(result.pixels.size());
    ASSERT_EQ(nullptr, KelvraReadRect(image, KelvraRect(0, 0, 5, 3), pixels.data(), 15));
    EXPECT_EQ(result.pixels, pixels);
    double dpi = 0;
    ASSERT_EQ(nullptr, image->GetResolution(&dpi));
    EXPECT_DOUBLE_EQ(300.0, dpi);
    std::vector<std::uint8_t> icc(tags->GetTagSize(34675, 0));
    ASSERT_EQ(nullptr, tags->GetTag(34675, kKelvraTagTypeBytes, std::uint32_t(icc.size()), icc.data(), 0));
    EXPECT_EQ(result.icc, icc);
    load->Release();
    load->Destroy();
    image->Release();
    tags->Destroy();
    stream->Release();
    manager->Release();
}

} // namespace
