// What the red-eye filter uses of our red-eye library Eyemend, in one
// place: the status mapping, the library's picture calls as a table (so
// that a test can put a recording stand-in between the filter and the
// library), and the region records kept in byte buffers.
#pragma once

#include "eyemend/Eyemend.h"
#include "kelvra/KelvraTypes.h"

#include <cstdint>

class CByteBuffer;

// The framework error code of a library status: 0 for success.
long TlRedEyeStatusCode(std::uint32_t status);

// The library calls that work on the picture.
struct TlRedEyeCalls {
    ReStatus (*detectAuto)(const ReParams*, std::uint32_t, ReProgress, long, std::uint32_t, ReList*);
    ReStatus (*detectNearest)(const ReParams*, RePoint, std::int32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                              ReList*);
    ReStatus (*findRedPoint)(const ReParams*, RePoint, std::int32_t);
    ReStatus (*correctRegions)(const ReParams*, const ReList*, const void*, const void*, std::int32_t);
};

// The calls straight into Eyemend.
const TlRedEyeCalls& TlEyemendCalls();

// A region list that frees its regions when it goes.
class CTlRedEyeList {
public:
    CTlRedEyeList() = default;
    ~CTlRedEyeList() { ReListEmpty(&m_list); }
    CTlRedEyeList(const CTlRedEyeList&) = delete;
    CTlRedEyeList& operator=(const CTlRedEyeList&) = delete;

    ReList* Get() { return &m_list; }
    const ReList* Get() const { return &m_list; }
    bool IsEmpty() const { return m_list.head == nullptr; }
    void Empty() { ReListEmpty(&m_list); }
    const ReRegion* First() const { return ReListNext(&m_list, nullptr); }
    const ReRegion* Last() const { return ReListPrev(&m_list, nullptr); }
    // Calls `visit` with each region, first to last.
    template <typename Visit>
    void ForEach(Visit&& visit) const
    {
        for (const ReRegion* region = First(); region != nullptr; region = ReListNext(&m_list, region))
            visit(*region);
    }

private:
    ReList m_list{nullptr, nullptr};
};

// The notice rectangle of a region: its inclusive box made exclusive.
KelvraRect TlRedEyeNoticeRect(const ReRegion& region);

// Reads the region stored in `record` (from its start, never past its end);
// null when it holds none.
ReRegion* TlRedEyeLoadRecord(CByteBuffer& record);
// Stores `region` into `record`, replacing its bytes; a library status.
ReStatus TlRedEyeSaveRecord(const ReRegion& region, CByteBuffer& record);
