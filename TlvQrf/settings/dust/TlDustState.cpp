#include "settings/dust/TlDustState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <climits>
#include <utility>

namespace {
constexpr std::uint16_t kVersion = 1;
// Header, data size, capture time and the two further values.
constexpr std::int64_t kSizeWithoutData = 37;

void PutCaptureTime(CTlStateWriter& writer, const TlDustCaptureTime& time)
{
    writer.Put(time.year);
    writer.Put(time.month);
    writer.Put(time.day);
    writer.Put(time.hour);
    writer.Put(time.minute);
    writer.Put(time.second);
}

void GetCaptureTime(CTlStateReader& reader, TlDustCaptureTime& time)
{
    reader.Get(time.year);
    reader.Get(time.month);
    reader.Get(time.day);
    reader.Get(time.hour);
    reader.Get(time.minute);
    reader.Get(time.second);
}

int ClampedResult(std::int64_t size)
{
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}
} // namespace

bool TlDustCaptureTime::operator==(const TlDustCaptureTime& other) const
{
    return year == other.year && month == other.month && day == other.day && hour == other.hour &&
           minute == other.minute && second == other.second;
}

CTlDustState::CTlDustState(const CTlDustState& other) : ITlState(other)
{
    *this = other;
}

CTlDustState::~CTlDustState() = default;

CTlDustState& CTlDustState::operator=(const CTlDustState& other)
{
    if (this == &other)
        return *this;
    Reset();
    if (other.m_data.HasData() && m_data.Set(other.m_data.Data(), other.m_data.Count())) {
        captureTime = other.captureTime;
        firstFurther = other.firstFurther;
        secondFurther = other.secondFurther;
    }
    CopyMapFrom(other);
    return *this;
}

void CTlDustState::TakeLoaded(CTlDustState& loaded)
{
    Reset();
    if (!loaded.m_data.HasData())
        return;
    m_data = std::move(loaded.m_data);
    captureTime = loaded.captureTime;
    firstFurther = loaded.firstFurther;
    secondFurther = loaded.secondFurther;
}

const TlGuid* CTlDustState::GetID() const
{
    return &kTlIdDustState;
}

int CTlDustState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdDustState, kVersion);
    writer.Put(static_cast<std::uint32_t>(m_data.Count()));
    writer.PutBytes(m_data.Data(), m_data.Count());
    PutCaptureTime(writer, captureTime);
    writer.Put(firstFurther);
    writer.Put(secondFurther);
    return writer.Finish();
}

// A data size that claims more bytes than the block holds marks the record
// corrupt: it is refused rather than read past or allocated.
int CTlDustState::Load(const unsigned char* buffer, int size)
{
    CTlStateReader reader(buffer, size);
    if (!reader.Open(kTlIdDustState) || reader.Version() != kVersion || !reader.SkipLength())
        return 0;
    CTlDustState loaded;
    std::uint32_t dataSize = 0;
    if (reader.Get(dataSize)) {
        if (!reader.Has(dataSize))
            return 0;
        // Data that cannot be allocated is passed over, as the copy rule does.
        if (dataSize != 0)
            loaded.m_data.Set(reader.Here(), dataSize);
        reader.Skip(dataSize);
    }
    GetCaptureTime(reader, loaded.captureTime);
    reader.Get(loaded.firstFurther);
    reader.Get(loaded.secondFurther);
    TakeLoaded(loaded);
    return ClampedResult(kSizeWithoutData + dataSize);
}

bool CTlDustState::SetDataSize(std::size_t n)
{
    return m_data.Set(nullptr, n);
}

bool CTlDustState::SetData(const void* bytes, std::size_t n)
{
    return m_data.Set(bytes, n);
}

bool CTlDustState::IsEqual(const CTlDustState& other) const
{
    return captureTime == other.captureTime && firstFurther == other.firstFurther &&
           secondFurther == other.secondFurther;
}

void CTlDustState::Reset()
{
    m_data.Free();
    TakeMap(nullptr, nullptr);
    captureTime = TlDustCaptureTime();
    firstFurther = 0;
    secondFurther = 0;
}
