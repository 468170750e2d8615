// The calls the red-eye filter makes of the outside red-eye library, in one
// place. The library is not part of the build yet: every call that would
// need it reports kRedEyeUnavailable, which the filter treats as the
// library's failure (nothing detected, nothing loaded, an operation failed).
#pragma once

#include <cstdint>
#include <vector>

// The library's status words.
enum : std::uint32_t {
    kRedEyeSuccess = 0,
    kRedEyeSuccessWithInfo = 0x40000001,
    kRedEyeMissingObject = 0xC0000002,
    kRedEyeOutOfMemory = 0xC0000003,
    kRedEyeUnavailable = 0xC00000FF,
};

// Head of one of the library's region lists; empty while it has no region.
struct TlRedEyeRegionList {
    void* head = nullptr;
    bool IsEmpty() const { return head == nullptr; }
};

// The detector's parameter block, handed to every detection and correction.
struct TlRedEyeParams {
    std::uint32_t size = sizeof(TlRedEyeParams);
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowBytes = 0;
    std::int32_t formatCode = 0;
    unsigned char* buffer = nullptr;
    const void* shootingInfo = nullptr;
    std::int32_t reserved[2] = {0, 0};
};

static_assert(sizeof(void*) != 4 || sizeof(TlRedEyeParams) == 36, "the library's 32-bit layout");

// The framework error code of a library status: 0 for success.
long TlRedEyeStatusCode(std::uint32_t status);

// Looks for a red point within `radius` pixels of (x, y).
std::uint32_t TlRedEyeFindRedPoint(const TlRedEyeParams& params, long x, long y, long radius);
// Automatic detection over the whole buffer; regions are appended to `found`.
std::uint32_t TlRedEyeDetectAuto(const TlRedEyeParams& params, TlRedEyeRegionList& found);
// Detection near (x, y); regions are appended to `found`.
std::uint32_t TlRedEyeDetectNearest(const TlRedEyeParams& params, long x, long y, TlRedEyeRegionList& found);
// Corrects the buffer's pixels of the regions of `list`.
std::uint32_t TlRedEyeCorrectRegions(const TlRedEyeParams& params, const TlRedEyeRegionList& list);
// Reads one region from a stored record; none when it cannot.
std::uint32_t TlRedEyeLoadRegion(const unsigned char* bytes, int size, void** region);
// Adds a region read by TlRedEyeLoadRegion to `list`.
std::uint32_t TlRedEyeInsertRegion(TlRedEyeRegionList& list, void* region);
// Appends one stored record per region of `list` to `records`: every region,
// or only the last one.
class CByteBuffer;
std::uint32_t TlRedEyeSaveRegions(const TlRedEyeRegionList& list, bool lastOnly, std::vector<CByteBuffer>& records);
// Empties a list, freeing its regions.
void TlRedEyeEmptyList(TlRedEyeRegionList& list);
