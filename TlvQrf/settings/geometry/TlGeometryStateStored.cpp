// The stored form of the geometry record and its five versions:
//   1: id, version, step type tag, step size n, step block
//   2: version 1 plus the mirror byte and the rotation
//   3, 4: version 2 with the length word after the version
//   5: version 4 plus the orientation flag
#include "settings/geometry/TlGeometryState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <new>

namespace {

constexpr std::uint16_t kVersion = 5;
constexpr std::uint16_t kFirstWithOrientation = 2;
constexpr std::uint16_t kFirstWithLength = 3;
constexpr std::uint16_t kFirstWithFlag = 5;
constexpr int kOrientationBytes = 5; // mirror byte and rotation
constexpr int kFlagBytes = 1;
constexpr double kFreshResolution = 300;

// The bytes a block of `version` needs after the step block.
std::int64_t TailBytes(std::uint16_t version)
{
    std::int64_t tail = 0;
    if (version >= kFirstWithOrientation)
        tail += kOrientationBytes;
    if (version >= kFirstWithFlag)
        tail += kFlagBytes;
    return tail;
}

// Nothing real is stored when both resolutions are the placeholder 1.
bool HoldsNoGeometry(const CTlGeometryStep& step)
{
    return step.GetMinResolution().value == 1 && step.GetSourceResolution().value == 1;
}

} // namespace

const TlGuid* CTlGeometryState::GetID() const
{
    return &kTlIdGeometryState;
}

int CTlGeometryState::Save(unsigned char* buffer, int size)
{
    unsigned char block[TlGeometryStepLayout::kSize] = {};
    unsigned n = 0;
    if (m_step != nullptr)
        m_step->Write(nullptr, n);
    if (n > sizeof block)
        n = 0; // a step larger than any known form cannot be stored
    if (m_step != nullptr && n != 0) {
        unsigned given = n;
        m_step->Write(block, given);
    }
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdGeometryState, kVersion);
    writer.Put<std::uint32_t>(GetType());
    writer.Put<std::uint32_t>(n);
    writer.PutBytes(block, n);
    writer.Put<std::uint8_t>(static_cast<std::uint8_t>(Mirrored));
    writer.Put<std::int32_t>(Rotation);
    writer.Put<std::uint8_t>(OrientationFlag);
    return writer.Finish();
}

int CTlGeometryState::Load(const unsigned char*, int)
{
    return 0;
}

int CTlGeometryState::Load(const unsigned char* buffer, int size, int width, int height)
{
    // A null buffer is refused whatever its size: it has no id to check.
    if (buffer == nullptr)
        return 0;
    CTlStateReader reader(buffer, size);
    if (!reader.Open(kTlIdGeometryState))
        return 0;
    const std::uint16_t version = reader.Version();
    if (version < 1 || version > kVersion)
        return 0;
    if (version >= kFirstWithLength && !reader.SkipLength())
        return 0;
    std::uint32_t tag = kTlStepTypeCrop;
    std::uint32_t n = 0;
    if (!reader.Get(tag) || !reader.Get(n))
        return 0;
    // The whole block must be present; 64-bit sums cannot overflow from u32 counts.
    const std::int64_t total = reader.Offset() + std::int64_t(n) + TailBytes(version);
    if (!reader.Has(std::int64_t(n) + TailBytes(version)))
        return 0;
    try {
        CTlGeometryState temporary;
        if (temporary.m_step == nullptr)
            return 0;
        if (!temporary.m_step->Read(reader.Here(), n))
            return 0;
        reader.Skip(n);
        bool adapt = true;
        if (HoldsNoGeometry(*temporary.m_step)) {
            temporary = CTlGeometryState(static_cast<unsigned>(width), static_cast<unsigned>(height), nullptr,
                                         kFreshResolution);
            adapt = false;
        }
        temporary.LoadedVersion = version;
        if (version >= kFirstWithOrientation) {
            std::uint8_t mirrored = 0;
            std::int32_t rotation = 0;
            reader.Get(mirrored);
            reader.Get(rotation);
            // Stored angles are normalised so later turn arithmetic cannot overflow.
            temporary.SetRotation(mirrored, rotation, false);
        }
        if (version >= kFirstWithFlag)
            reader.Get(temporary.OrientationFlag);
        if (adapt) {
            temporary.SetRotation(Mirrored, Rotation, true);
            if ((width != 0 || height != 0) &&
                (width != temporary.GetOutputWidth() || height != temporary.GetOutputHeight()))
                temporary.ResizeToImage(width, height);
        }
        // A copy that cannot be made leaves this record as it was.
        const int previousError = ErrorCode;
        temporary.ErrorCode = 0;
        *this = temporary;
        if (ErrorCode != 0) {
            ErrorCode = previousError;
            return 0;
        }
        SetStepType(tag);
        SyncPixelSizeMode();
        ErrorCode = 0;
        return static_cast<int>(total);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
