// The JPEG file structure as the codec needs it: walking the marker
// segments of a file, telling our metadata segments apart, and building,
// reading and splicing them. Private to the JPEG codec.
#pragma once

#include "PellioJpegBytes.h"
#include "pellio/PellioJpeg.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#define PELLIO_JPEG_ERROR(code) KELVRA_ERROR(nullptr, kPellioJpegTag, (code))
// Corrupt or truncated data, or an argument the codec cannot take.
#define PELLIO_JPEG_CORRUPT() PELLIO_JPEG_ERROR(kKelvraBadArgument)

enum : std::uint8_t {
    kJpegSoi = 0xD8,
    kJpegEoi = 0xD9,
    kJpegSos = 0xDA,
    kJpegApp0 = 0xE0,
    kJpegApp1 = 0xE1,
    kJpegApp2 = 0xE2,
    kJpegApp13 = 0xED,
};

// The most payload one segment carries: its length word counts itself too.
constexpr std::size_t kJpegMaxPayload = 65533;

// One length-counted segment: file bytes [start, end) run from its marker's
// 0xFF to the end of its payload (a scan's coded data is not included).
struct PellioJpegSegment {
    std::uint8_t marker = 0;
    std::size_t start = 0;
    std::size_t end = 0;
    PellioBytes payload;
};

// Walks a whole file from SOI to EOI, through every scan's coded data, and
// lists its length-counted segments in order. Anything that does not fit
// inside `size` (a truncated file, a length beyond the end, no EOI) is 1008.
IKelvraError* PellioWalkJpeg(const std::uint8_t* data, std::size_t size, std::vector<PellioJpegSegment>& segments);

// 1008, with a text saying so, when a frame header states a picture far
// larger than `size` bytes of coded data can describe.
IKelvraError* PellioCheckJpegFrame(const std::vector<PellioJpegSegment>& segments, std::size_t size);

enum class PellioJpegKind { Other, Jfif, Exif, Icc, Photoshop };

// What a segment holds, told by its marker and identifier.
PellioJpegKind PellioJpegKindOf(const PellioJpegSegment& segment);
// The segment's payload after its identifier (valid for a kind other than Other).
PellioBytes PellioJpegContent(const PellioJpegSegment& segment);
// A payload of `kind` so far: its identifier.
std::vector<std::uint8_t> PellioJpegPayloadHead(PellioJpegKind kind);

// Appends marker, length and `payload`; 1008 when the payload is too long.
IKelvraError* PellioAppendJpegSegment(std::vector<std::uint8_t>& out, std::uint8_t marker,
                                      const std::vector<std::uint8_t>& payload);

// Writes what a segment of a split block carries before its share.
using PellioSplitHeader = void (*)(std::vector<std::uint8_t>& payload, std::size_t index, std::size_t count);

// Appends `content` split over as few segments of `kind` as it needs: each
// holds the identifier, `headerBytes` written by `header` (may be null when
// 0), then its share. 1008 when more than `maxSegments` would be needed.
IKelvraError* PellioAppendSplitSegments(std::vector<std::uint8_t>& out, PellioJpegKind kind,
                                        const std::vector<std::uint8_t>& content, std::size_t headerBytes,
                                        std::size_t maxSegments, PellioSplitHeader header);

// Our segments for the non-empty members of `metadata`, in file order.
IKelvraError* PellioBuildJpegMetadata(const PellioJpegMetadata& metadata, std::vector<std::uint8_t>& segments);
// The metadata that the walked segments carry.
IKelvraError* PellioReadJpegMetadata(const std::vector<PellioJpegSegment>& segments, PellioJpegMetadata& metadata);
// `jpeg` with `ours` after SOI (after a JFIF APP0 that follows SOI, so that
// it stays first) and without the segments of our kinds it had.
IKelvraError* PellioSpliceJpegMetadata(const std::uint8_t* jpeg, std::size_t size, const std::vector<std::uint8_t>& ours,
                                       std::vector<std::uint8_t>& out);

// One kind each. A reader leaves its result as it was when the file has no
// segment of its kind.
IKelvraError* PellioBuildExifSegment(const std::string& software, const std::string& dateTime,
                                     std::vector<std::uint8_t>& out);
IKelvraError* PellioReadExifTexts(PellioBytes tiff, std::string& software, std::string& dateTime);
IKelvraError* PellioBuildIccSegments(const std::vector<std::uint8_t>& profile, std::vector<std::uint8_t>& out);
IKelvraError* PellioReadIccProfile(const std::vector<PellioJpegSegment>& segments, std::vector<std::uint8_t>& profile);
IKelvraError* PellioBuildIptcSegments(const std::vector<std::uint8_t>& iptc, std::vector<std::uint8_t>& out);
IKelvraError* PellioReadIptc(const std::vector<PellioJpegSegment>& segments, std::vector<std::uint8_t>& iptc);

// Runs `body`, turning any exception into an error so none leaves the codec.
template <typename Body>
IKelvraError* PellioJpegGuard(Body body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return PELLIO_JPEG_ERROR(kKelvraOutOfMemory);
    } catch (const std::length_error&) {
        return PELLIO_JPEG_ERROR(kKelvraOutOfMemory);
    } catch (...) {
        return PELLIO_JPEG_ERROR(kKelvraOperationFailed);
    }
}
