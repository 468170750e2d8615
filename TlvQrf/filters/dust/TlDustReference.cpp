#include "filters/dust/TlDustReference.h"

#include <utility>

namespace {
constexpr std::uint32_t kReferenceMagic = 0x52747344; // "DstR" as stored
constexpr std::size_t kReferenceHeaderEnd = 40;
constexpr std::uint32_t kMinHeaderSize = 28;
constexpr std::uint32_t kMinPayloadSize = 12;
constexpr std::uint32_t kMinSide = 100;
// Sides are kept as longs; anything above is no picture of ours.
constexpr std::uint32_t kMaxSide = 0x7FFFFFFF;
} // namespace

CDustReference::CDustReference(IKelvraManager* manager) : m_manager(manager) {}

CDustReference::~CDustReference()
{
    if (m_image)
        m_image->Release();
}

void CDustReference::Swap(CDustReference& other)
{
    std::swap(m_image, other.m_image);
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    std::swap(m_curveId, other.m_curveId);
    std::swap(m_kept, other.m_kept);
    std::swap(m_lens, other.m_lens);
    std::swap(m_aperture, other.m_aperture);
    m_payload.Swap(other.m_payload);
    std::swap(m_state, other.m_state);
}

IKelvraError* CDustReference::Load(std::size_t size, const unsigned char* bytes)
{
    if (bytes == nullptr)
        size = 0;
    auto word = [&](std::size_t offset) { return DustWord(bytes, size, offset); };
    const std::uint32_t header = word(8);
    const std::uint32_t width = word(16);
    const std::uint32_t height = word(20);
    const std::uint32_t payload = word(36);
    if (word(0) != kReferenceMagic || header < kMinHeaderSize || width < kMinSide || height < kMinSide ||
        width > kMaxSide || height > kMaxSide || payload < kMinPayloadSize)
        return DustError(__LINE__, kDustBadRecord);
    // The sizes come from stored settings: added in 64 bits they cannot wrap.
    const std::uint64_t needed = std::uint64_t(payload) + header + 12;
    if (size < kReferenceHeaderEnd || needed > size)
        return DustError(__LINE__, kDustBadRecord);

    CDustReference loaded(m_manager);
    loaded.m_width = long(width);
    loaded.m_height = long(height);
    loaded.m_curveId = word(12);
    loaded.m_kept = word(24);
    loaded.m_lens = word(28);
    loaded.m_aperture = word(32);
    if (!loaded.m_payload.Assign(bytes + 12 + header, payload))
        return DustError(__LINE__, kKelvraOutOfMemory);
    TlDustImageShape shape;
    shape.width = loaded.m_width;
    shape.height = loaded.m_height;
    if (IKelvraError* error = DecodeDustImage(m_manager, loaded.m_payload, shape, &loaded.m_image))
        return DustWrap(__LINE__, error);
    loaded.m_state = kLoaded;
    Swap(loaded);
    return nullptr;
}
