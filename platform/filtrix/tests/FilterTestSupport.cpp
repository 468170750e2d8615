#include "FilterTestSupport.h"

ManagerHolder::ManagerHolder()
{
    ExpectOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager");
}

ManagerHolder::~ManagerHolder()
{
    if (manager)
        manager->Release();
}

unsigned PatternSample(long x, long y, long plane, bool wide)
{
    const unsigned value = unsigned(x * 7 + y * 13 + plane * 29);
    return wide ? (value * 97) & 0xFFFF : value & 0xFF;
}

IKelvraImage* MakeBlankImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format)
{
    IKelvraImage* image = nullptr;
    ExpectOk(manager->CreateImage(&image, 0), "create image");
    ExpectOk(image->SetSize(width, height), "size");
    ExpectOk(image->SetColorSpace(format), "format");
    return image;
}

IKelvraImage* MakePatternImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format)
{
    IKelvraImage* image = MakeBlankImage(manager, width, height, format);
    const bool wide = KelvraIs16Bit(format);
    const long planes = long(KelvraPlaneCount(format));
    const long rowBytes = KelvraRowBytes(format, width);
    std::vector<std::uint8_t> rows(std::size_t(rowBytes) * std::size_t(height));
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            for (long p = 0; p < planes; ++p) {
                const unsigned value = PatternSample(x, y, p, wide);
                const std::size_t at = std::size_t(y) * std::size_t(rowBytes) + std::size_t(x * planes + p) * (wide ? 2 : 1);
                if (wide)
                    *reinterpret_cast<std::uint16_t*>(&rows[at]) = std::uint16_t(value);
                else
                    rows[at] = std::uint8_t(value);
            }
        }
    }
    ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), rows.data(), rowBytes), "write");
    return image;
}

void ExpectPixelsComeBack(IKelvraFilter& filter, bool fromOutput, long count, long rows)
{
    for (long i = 0; i < count; ++i) {
        long x = i, y = i % rows;
        ExpectOk(fromOutput ? filter.DefilterPoint(&x, &y) : filter.FilterPoint(&x, &y));
        ExpectOk(fromOutput ? filter.FilterPoint(&x, &y) : filter.DefilterPoint(&x, &y));
        ASSERT_EQ(i, x);
        ASSERT_EQ(i % rows, y);
    }
}

IKelvraImage* PatternImageTest::Image(long width, long height, KelvraPixelFormat format)
{
    m_images.push_back(MakePatternImage(Manager(), width, height, format));
    return m_images.back();
}

void PatternImageTest::TearDown()
{
    for (IKelvraImage* image : m_images)
        image->Release();
}

std::vector<unsigned> ReadAllSamples(IKelvraDataSource* source)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetSize(&width, &height), "size");
    ExpectOk(source->GetColorSpace(&format), "format");
    const long rowBytes = KelvraRowBytes(format, width);
    std::vector<std::uint8_t> bytes(std::size_t(rowBytes) * std::size_t(height));
    ExpectOk(KelvraReadRect(source, KelvraRect(0, 0, width, height), bytes.data(), rowBytes), "read");
    const bool wide = KelvraIs16Bit(format);
    std::vector<unsigned> samples;
    for (std::size_t i = 0; i < bytes.size(); i += wide ? 2 : 1)
        samples.push_back(wide ? *reinterpret_cast<const std::uint16_t*>(&bytes[i]) : bytes[i]);
    return samples;
}

SampleGrid ReadSampleGrid(IKelvraDataSource* source)
{
    SampleGrid grid;
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetSize(&grid.width, &grid.height), "size");
    ExpectOk(source->GetColorSpace(&format), "format");
    grid.planes = long(KelvraPlaneCount(format));
    grid.samples = ReadAllSamples(source);
    return grid;
}

void ExpectError(IKelvraError* error, long code, KelvraTag tag)
{
    ASSERT_NE(nullptr, error) << "expected error " << code;
    EXPECT_TRUE(error->HasCode(code)) << "expected error " << code;
    EXPECT_EQ(tag, error->GetTag());
    IKelvraError::Release(error);
}

void ExpectOk(IKelvraError* error, const char* what)
{
    if (error) {
        const IKelvraError* cause = error->FindCause();
        ADD_FAILURE() << what << ": error " << (cause ? cause->GetCode() : error->GetCode()) << " " << error->GetText();
        IKelvraError::Release(error);
    }
}

void ExpectSizeChange(const Notice& notice, long oldWidth, long oldHeight, long newWidth, long newHeight)
{
    EXPECT_EQ(kKelvraNotifySize, notice.code);
    EXPECT_EQ(oldWidth, notice.size.oldWidth);
    EXPECT_EQ(oldHeight, notice.size.oldHeight);
    EXPECT_EQ(newWidth, notice.size.newWidth);
    EXPECT_EQ(newHeight, notice.size.newHeight);
}

IKelvraError* RecordingDestination::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    Notice notice{source, code, KelvraRect(), KelvraSizeChange{0, 0, 0, 0}};
    if (code == kKelvraNotifyData && data)
        notice.rect = *static_cast<KelvraRect*>(data);
    if (code == kKelvraNotifySize && data)
        notice.size = *static_cast<KelvraSizeChange*>(data);
    notices.push_back(notice);
    return nullptr;
}
