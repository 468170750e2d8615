#include "PellioTestSupport.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace pelliotest {

::testing::AssertionResult Succeeded(IKelvraError* error)
{
    if (!error)
        return ::testing::AssertionSuccess();
    const IKelvraError* cause = error->FindCause();
    const long code = cause ? cause->GetCode() : -1;
    const unsigned tag = cause ? cause->GetTag() : 0;
    IKelvraError::Release(error);
    return ::testing::AssertionFailure() << "error code " << code << " tag " << std::hex << tag;
}

long CodeOf(IKelvraError* error)
{
    const IKelvraError* cause = error ? error->FindCause() : nullptr;
    const long code = error ? (cause ? cause->GetCode() : -1) : 0;
    IKelvraError::Release(error);
    return code;
}

bool HasCode(IKelvraError* error, long code)
{
    const bool has = error && error->HasCode(code);
    IKelvraError::Release(error);
    return has;
}

ManagerPtr MakeManager()
{
    IKelvraManager* manager = nullptr;
    EXPECT_TRUE(Succeeded(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager)));
    return ManagerPtr(manager);
}

TagsPtr MakeTags()
{
    IKelvraTagControl* tags = nullptr;
    EXPECT_TRUE(Succeeded(CreateTagControl(&tags)));
    return TagsPtr(tags);
}

ImagePtr MakeImage(IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    EXPECT_TRUE(Succeeded(manager->CreateImage(&image)));
    return ImagePtr(image);
}

ImagePtr MakePatternImage(IKelvraManager* manager, KelvraPixelFormat format, long width, long height)
{
    ImagePtr image = MakeImage(manager);
    EXPECT_TRUE(Succeeded(image->SetColorSpace(format)));
    EXPECT_TRUE(Succeeded(image->SetSize(width, height)));
    const long rowBytes = KelvraRowBytes(format, width);
    Bytes rows(std::size_t(rowBytes) * std::size_t(height));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = std::uint8_t(i * 7 + i / std::size_t(rowBytes) * 13);
    EXPECT_TRUE(Succeeded(image->AppendRows(rows.data(), height, rowBytes)));
    return image;
}

StreamPtr OpenStream(const std::string& path, long mode)
{
    IKelvraFileStream* stream = nullptr;
    EXPECT_TRUE(Succeeded(CreateFileStream(&stream)));
    StreamPtr owned(stream);
    EXPECT_TRUE(Succeeded(stream->SetPath(path.c_str())));
    EXPECT_TRUE(Succeeded(stream->Open(mode)));
    return owned;
}

Bytes PixelsOf(IKelvraDataSource* source)
{
    std::size_t size = 0;
    EXPECT_TRUE(Succeeded(source->GetDataSize(&size)));
    Bytes pixels(size);
    EXPECT_TRUE(Succeeded(source->GetData(pixels.data(), pixels.size())));
    return pixels;
}

Bytes TagBytes(const IKelvraTagControl* tags, std::uint32_t id)
{
    Bytes bytes(tags->GetTagSize(id, 0));
    if (!tags->HasTag(id, 0))
        return bytes;
    if (tags->GetTagType(id) == kKelvraTagTypeDataHeader) {
        KelvraTagDataHeader header{1, std::uint32_t(bytes.size()), bytes.data()};
        EXPECT_TRUE(Succeeded(tags->GetTag(id, kKelvraTagTypeDataHeader, sizeof header, &header, 0)));
    } else {
        EXPECT_TRUE(Succeeded(tags->GetTag(id, kKelvraTagTypeBytes, std::uint32_t(bytes.size()), bytes.data(), 0)));
    }
    return bytes;
}

std::vector<TagEntry> AllTags(const IKelvraTagControl* tags)
{
    std::vector<std::uint32_t> ids(tags->GetTagCount());
    std::uint32_t count = 0;
    EXPECT_TRUE(Succeeded(tags->GetTagIds(ids.data(), std::uint32_t(ids.size()), &count)));
    std::vector<TagEntry> entries;
    for (std::uint32_t i = 0; i < count; ++i)
        entries.push_back(TagEntry{ids[i], tags->GetTagType(ids[i]), TagBytes(tags, ids[i])});
    return entries;
}

void SetTag(IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, const Bytes& bytes)
{
    ASSERT_TRUE(Succeeded(tags->AddTag(id)));
    if (type == kKelvraTagTypeDataHeader) {
        KelvraTagDataHeader header{1, std::uint32_t(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
        ASSERT_TRUE(Succeeded(tags->SetTag(id, type, sizeof header, &header)));
    } else {
        ASSERT_TRUE(Succeeded(tags->SetTag(id, type, std::uint32_t(bytes.size()), bytes.data())));
    }
}

Bytes TextBytes(const std::string& text)
{
    return Bytes(text.c_str(), text.c_str() + text.size() + 1);
}

std::string TestName(const char* name)
{
    std::string text = name;
    for (char& c : text)
        c = c == ' ' ? '_' : c;
    return text;
}

namespace {

IKelvraError* LoadSubImages(IKelvraManager* manager, IKelvraLoad* load, LoadedFile* file)
{
    for (std::uint32_t number = 1; number <= file->info.subImageCount; ++number) {
        KelvraSubImageInfo info{};
        info.size = sizeof info;
        IKelvraImage* image = nullptr;
        IKelvraError* error = load->GetSubImageInfo(long(number), &info);
        if (!error)
            error = manager->CreateImage(&image);
        if (error)
            return error;
        file->subImages.emplace_back(image);
        file->subInfo.push_back(info);
        std::uint32_t kind = 0;
        if (IKelvraError* loadError = load->LoadSubImage(long(number), image, &kind))
            return loadError;
        EXPECT_EQ(info.kind, kind);
    }
    return nullptr;
}

} // namespace

IKelvraError* StartLoad(const std::string& path, StartedLoad* started)
{
    started->stream = OpenStream(path, kKelvraStreamRead);
    started->tags = MakeTags();
    IKelvraLoad* load = nullptr;
    if (IKelvraError* error = CreateLoad(&load))
        return error;
    started->load.reset(load);
    return load->Start(started->stream.get(), started->tags.get(), 0, 0);
}

IKelvraError* LoadWhole(IKelvraManager* manager, const std::string& path, LoadedFile* file)
{
    StartedLoad started;
    IKelvraError* error = StartLoad(path, &started);
    IKelvraLoad* load = started.load.get();
    file->tags = std::move(started.tags);
    file->main = MakeImage(manager);
    file->info.size = sizeof file->info;
    if (!error)
        error = load->GetFileInfo(&file->info);
    if (!error)
        error = load->SetImage(file->main.get());
    while (!error && !load->IsComplete())
        error = load->Step();
    return error ? error : LoadSubImages(manager, load, file);
}

IKelvraError* SaveFile(IKelvraDataSource* main, const std::vector<KelvraSaveEntry>& list, IKelvraTagControl* tags,
                       std::uint32_t format, std::uint32_t option, const std::string& path)
{
    return QrfSave(main, list, tags, format, option, path.c_str());
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    return TempFolder::Matching(folder + "*");
}

} // namespace pelliotest
