// The stored form of a step: the record header, 25 doubles and the
// pixel-size mode byte. Reading checks every length against the bytes
// present and changes the step only when the whole block was accepted.
#include "settings/geometry/TlGeometryStep.h"

#include "settings/record/TlFieldCopy.h"

#include <cstring>
#include <initializer_list>

// {f4642a89-ac63-11d1-a777-00aa00b1c1b7}
const TlGuid TlGeometryStepLayout::kId = {0xf4642a89, 0xac63, 0x11d1, {0xa7, 0x77, 0x00, 0xaa, 0x00, 0xb1, 0xc1, 0xb7}};

namespace {

constexpr unsigned kDoubleSize = 8;
static_assert(sizeof(double) == kDoubleSize, "stored doubles are 8 bytes");
static_assert(TlGeometryStepLayout::kSize == 223, "the stored form of a step is 223 bytes");
static_assert(TlGeometryStepLayout::kOldHeaderSize + TlGeometryStepLayout::kFieldBytes == 219,
              "versions 1 and 2 are 219 bytes");
constexpr unsigned kModeOffset = TlGeometryStepLayout::kSize - 1;
constexpr unsigned char kModeSet = 0xFF;
// Versions 1 and 2 lack the length word; 3 has it; others carry no fields
// this step can read.
constexpr std::uint16_t kFirstVersionWithLength = 3;

bool IsReadableVersion(std::uint16_t version)
{
    return version >= 1 && version <= TlGeometryStepLayout::kVersion;
}

unsigned FieldStart(std::uint16_t version)
{
    return version >= kFirstVersionWithLength ? TlStateLayout::kHeaderSize : TlGeometryStepLayout::kOldHeaderSize;
}

} // namespace

template <class Step, class Pointer>
void CTlGeometryStep::ListStoredDoubles(Step& step, Pointer (&out)[kStoredDoubles])
{
    Pointer* p = out;
    for (auto* rect : {&step.CropRect, &step.ReferenceRect, &step.LimitRect}) {
        *p++ = &rect->left;
        *p++ = &rect->top;
        *p++ = &rect->right;
        *p++ = &rect->bottom;
    }
    *p++ = &step.ImageWidth;
    *p++ = &step.ImageHeight;
    for (auto* m : {&step.PrintWidth, &step.PrintHeight, &step.Resolution, &step.MinResolution,
                    &step.SourceResolution, &step.PrintResolution})
        *p++ = &m->value;
    for (auto* d : {&step.Scale, &step.OutputWidth, &step.OutputHeight, &step.OutputArea, &step.AspectRatio})
        *p++ = d;
}

bool CTlGeometryStep::Write(void* buffer, unsigned& size) const
{
    const unsigned given = size;
    size = TlGeometryStepLayout::kSize;
    if (buffer == nullptr)
        return given >= TlGeometryStepLayout::kSize;

    // Each item only when it fits whole; the length word counts what was written.
    unsigned char* out = static_cast<unsigned char*>(buffer);
    if (given >= TlStateLayout::kIdSize)
        CopyBytes(&TlGeometryStepLayout::kId, out, TlStateLayout::kIdSize);
    if (given >= TlStateLayout::kLengthOffset) {
        const std::uint16_t version = TlGeometryStepLayout::kVersion;
        WriteValue(&version, out + TlStateLayout::kVersionOffset, sizeof version);
    }
    if (given >= TlStateLayout::kHeaderSize) {
        const std::uint32_t length = WriteFields(out, given) - TlStateLayout::kLengthBias;
        WriteValue(&length, out + TlStateLayout::kLengthOffset, sizeof length);
    }
    return given >= TlGeometryStepLayout::kSize;
}

unsigned CTlGeometryStep::WriteFields(unsigned char* out, unsigned given) const
{
    unsigned end = TlStateLayout::kHeaderSize;
    const double* values[kStoredDoubles];
    ListStoredDoubles(*this, values);
    for (const double* value : values) {
        if (given < end + kDoubleSize)
            return end;
        WriteValue(value, out + end, kDoubleSize);
        end += kDoubleSize;
    }
    if (given < TlGeometryStepLayout::kSize)
        return end;
    out[kModeOffset] = IsPixelSizeMode() ? kModeSet : 0;
    return TlGeometryStepLayout::kSize;
}

bool CTlGeometryStep::Read(const void* data, unsigned size)
{
    const unsigned char* in = static_cast<const unsigned char*>(data);
    if (in != nullptr && size >= TlStateLayout::kIdSize &&
        std::memcmp(in, &TlGeometryStepLayout::kId, TlStateLayout::kIdSize) != 0)
        return false;
    const bool accepted = ReadFields(in, size);
    // Reading is not a change: flags are raised against a fresh snapshot.
    TakeSnapshot();
    RaiseChangeFlags();
    return accepted;
}

bool CTlGeometryStep::ReadFields(const unsigned char* in, unsigned size)
{
    if (in == nullptr || size < TlStateLayout::kLengthOffset)
        return size >= TlStateLayout::kLengthOffset;
    std::uint16_t version = 0;
    ReadValue(in + TlStateLayout::kVersionOffset, &version, sizeof version);
    const unsigned start = FieldStart(version);
    const unsigned total = start + TlGeometryStepLayout::kFieldBytes;
    if (version >= kFirstVersionWithLength && size >= TlStateLayout::kHeaderSize) {
        std::uint32_t length = 0;
        ReadValue(in + TlStateLayout::kLengthOffset, &length, sizeof length);
        // The length word may not claim bytes that are not there, nor end
        // before the fields it announces.
        if (length > size - TlStateLayout::kLengthBias)
            return false;
        if (IsReadableVersion(version) && length < total - TlStateLayout::kLengthBias)
            return false;
    }
    if (!IsReadableVersion(version))
        return size >= start;
    if (size < total)
        return false;

    double values[kStoredDoubles];
    for (int i = 0; i < kStoredDoubles; ++i)
        ReadValue(in + start + i * kDoubleSize, &values[i], kDoubleSize);
    double* fields[kStoredDoubles];
    ListStoredDoubles(*this, fields);
    for (int i = 0; i < kStoredDoubles; ++i)
        *fields[i] = values[i];
    // Unit codes are not stored: lengths are inches, resolutions pixels per inch.
    PrintWidth.unit = PrintHeight.unit = kTlUnitInches;
    Resolution.unit = MinResolution.unit = SourceResolution.unit = PrintResolution.unit = kTlUnitPixelsPerInch;
    SetPixelSizeMode((in[start + kStoredDoubles * kDoubleSize] & 1) != 0);
    return true;
}
