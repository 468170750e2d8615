#include "LoadTestSupport.h"

#include "kelvra/KelvraImage.h"
#include "lib/TlLibraryState.h"
#include "load/TlLiveObjects.h"
#include "load/TlvLoadImage.h"
#include "pellio/Pellio.h"
#include "pellio/PellioFormats.h"
#include "settings/edit/TlvEditSettings.h"

#include <fstream>
#include <iterator>

namespace loadtest {

namespace {

::testing::AssertionResult Succeeded(IKelvraError* error)
{
    if (error == nullptr)
        return ::testing::AssertionSuccess();
    const long code = error->GetCode();
    IKelvraError::Release(error);
    return ::testing::AssertionFailure() << "error " << code;
}

QrfImagePtr MakeRgbImage(IKelvraManager* manager, long width, long height)
{
    IKelvraImage* image = nullptr;
    EXPECT_TRUE(Succeeded(manager->CreateImage(&image, 0)));
    QrfImagePtr owned(image);
    EXPECT_TRUE(Succeeded(image->SetSize(width, height)));
    EXPECT_TRUE(Succeeded(image->SetColorSpace(kKelvraRGB8)));
    std::vector<std::uint8_t> rows(std::size_t(width) * 3 * std::size_t(height));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = std::uint8_t(i * 13);
    EXPECT_TRUE(Succeeded(image->AppendRows(rows.data(), height, width * 3)));
    return owned;
}

} // namespace

void LoadTest::SetUp()
{
    IKelvraManager* manager = nullptr;
    ASSERT_TRUE(Succeeded(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager)));
    m_manager.reset(manager);
    TlvQrfLib::SetGlobalManager(manager);
    InstallObjectRegistry();
}

void LoadTest::TearDown()
{
    EXPECT_EQ(RegisteredImageCount(), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

std::string LoadTest::WriteRaw(const std::string& name, const QrfRawOptions& options)
{
    const std::string path = m_folder.File(name);
    EXPECT_TRUE(Succeeded(QrfWriteRaw(options, path.c_str())));
    return path;
}

std::string LoadTest::WriteImageFile(const std::string& name, std::uint32_t format, double dpi)
{
    const std::string path = m_folder.File(name);
    const QrfImagePtr image = MakeRgbImage(Manager(), 64, 48);
    EXPECT_TRUE(Succeeded(image->SetResolution(dpi)));
    EXPECT_TRUE(Succeeded(QrfSave(image.get(), {}, nullptr, format, format == kPellioFormatJpeg ? 90 : 0, path.c_str())));
    return path;
}

std::string LoadTest::WriteRawWithSubImages(const std::string& name, const QrfRawOptions& options,
                                            const std::vector<std::uint32_t>& kinds)
{
    const std::string path = m_folder.File(name);
    IKelvraTagControl* created = nullptr;
    EXPECT_TRUE(Succeeded(CreateTagControl(&created)));
    const PellioTagsPtr tags(created);
    EXPECT_TRUE(Succeeded(QrfFillTags(options, tags.get())));
    QrfRawImages images;
    EXPECT_TRUE(Succeeded(QrfMakeImages(Manager(), options, &images)));
    std::vector<QrfImagePtr> subs;
    std::vector<KelvraSaveEntry> list;
    for (std::uint32_t kind : kinds) {
        subs.push_back(MakeRgbImage(Manager(), 32 + long(subs.size()) * 2, 24));
        list.push_back(KelvraSaveEntry{kind, 1, static_cast<IKelvraDataSource*>(subs.back().get())});
    }
    EXPECT_TRUE(Succeeded(QrfSave(images.mosaic.get(), list, tags.get(), options.format, 0, path.c_str())));
    return path;
}

HostLoad LoadThroughHost(CTlvImageAttributes& attributes, const std::string& path, bool abortAfterBegin)
{
    HostLoad result;
    ITlvLoadImage* loader = nullptr;
    EXPECT_EQ(CreateLoadImage(&loader), 0u);
    if (loader == nullptr)
        return result;
    KelvraFile file(path.c_str());
    result.begin = loader->BeginLoad(&attributes, file, false, true);
    if (abortAfterBegin)
        loader->Abort();
    while (result.begin == 0 && !loader->IsFinished()) {
        result.execute = loader->ExecuteLoad();
        if (result.execute != 0)
            break;
    }
    result.finished = loader->IsFinished();
    result.finish = loader->FinishLoad();
    loader->Destroy();
    return result;
}

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QrfRawOptions RawOptions(std::uint32_t model, QrfPattern pattern)
{
    QrfRawOptions options;
    options.model = model;
    options.pattern = pattern;
    return options;
}

Bytes StoredSettingsBlock(double exposure)
{
    CTlvSettingsHolder source;
    source.adjust.value = exposure;
    CTlvEditSettingsEx settings;
    source.ExportTo(settings);
    Bytes block(static_cast<std::size_t>(settings.GetSize()));
    settings.Save(block.data(), static_cast<int>(block.size()));
    return block;
}

bool ChainHoldsCode(const IKelvraError* chain, std::uint32_t category, long code)
{
    for (const IKelvraError* error = chain; error != nullptr; error = error->GetNext()) {
        if (error->GetInner() == nullptr && error->GetCategory() == category && error->GetCode() == code)
            return true;
        if (ChainHoldsCode(error->GetInner(), category, code))
            return true;
    }
    return false;
}

bool ChainHoldsText(const IKelvraError* chain, const std::string& text)
{
    for (const IKelvraError* error = chain; error != nullptr; error = error->GetNext()) {
        if (error->GetCode() == kKelvraTextError && text == error->GetText())
            return true;
        if (ChainHoldsText(error->GetInner(), text))
            return true;
    }
    return false;
}

} // namespace loadtest
