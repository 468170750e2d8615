#include "settings/small/TlvZentharGeneral.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

#include "settings/record/TlStoredNumbers.h"

namespace {
constexpr std::uint16_t kVersion = 1;
constexpr int kStoredSize = 66;

// The stored members in stored order, so one walk serves Save and Load.
// Rectangle edges are kept as 16-bit integers (truncated, saturated).
template <typename Visit>
void VisitStored(Visit&& visit, CTlvZentharGeneral& r)
{
    visit.Small(r.a);
    visit.Wide(r.b);
    visit.Small(r.c);
    visit.Small(r.d);
    visit.Wide(r.e);
    visit.Small(r.f);
    visit.Small(r.g);
    visit.Wide(r.h);
    for (double& edge : r.rect)
        visit.Edge(edge);
    visit.Small(r.i);
    visit.Wide(r.j);
    visit.Small(r.k);
    visit.Small(r.l);
    visit.Double(r.m);
    visit.Small(r.n);
    visit.Wide(r.o);
}

struct Writer {
    CTlStateWriter& w;
    void Small(std::uint8_t& v) { w.Put<std::uint16_t>(v); }
    void Wide(std::uint16_t& v) { w.Put(v); }
    void Edge(double& v) { w.Put(TruncateToInt16(v)); }
    void Double(double& v) { w.Put(v); }
};

struct Reader {
    CTlStateReader& r;
    void Small(std::uint8_t& v)
    {
        std::uint16_t stored = 0;
        if (r.Get(stored))
            v = static_cast<std::uint8_t>(stored);
    }
    void Wide(std::uint16_t& v) { r.Get(v); }
    void Edge(double& v)
    {
        std::int16_t stored = 0;
        if (r.Get(stored))
            v = stored;
    }
    void Double(double& v) { r.Get(v); }
};
} // namespace

const TlGuid* CTlvZentharGeneral::GetID() const
{
    return &kTlIdGeneralState;
}

int CTlvZentharGeneral::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdGeneralState, kVersion);
    VisitStored(Writer{writer}, *this);
    return writer.Finish();
}

int CTlvZentharGeneral::Load(const unsigned char* buffer, int size)
{
    return LoadRecord(*this, buffer, size, [](CTlStateReader& reader, CTlvZentharGeneral& record) {
        if (reader.Version() != kVersion)
            return TlStateLayout::kHeaderSize;
        VisitStored(Reader{reader}, record);
        return kStoredSize;
    });
}
