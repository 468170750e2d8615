#include "settings/lens/TlLensInformation.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::uint16_t kVersion = 2;
constexpr int kAllEntries = CTlLensInformation::kTableCount * CTlLensInformation::kTableEntries;

std::unique_ptr<double[]> NewTables()
{
    return std::unique_ptr<double[]>(new (std::nothrow) double[kAllEntries]());
}

// The stored form keeps two tables side by side: entry i of the first,
// then entry i of the second.
void PutInterleaved(CTlStateWriter& writer, const double* first, const double* second)
{
    for (int i = 0; i < CTlLensInformation::kTableEntries; ++i) {
        writer.Put(first[i]);
        writer.Put(second[i]);
    }
}

void GetInterleaved(CTlStateReader& reader, double* first, double* second)
{
    for (int i = 0; i < CTlLensInformation::kTableEntries; ++i) {
        reader.Get(first[i]);
        reader.Get(second[i]);
    }
}

} // namespace

CTlLensInformation::CTlLensInformation() = default;

CTlLensInformation::CTlLensInformation(const CTlLensInformation& other) : ITlState()
{
    CopyDataFrom(other);
}

CTlLensInformation& CTlLensInformation::operator=(const CTlLensInformation& other)
{
    if (this != &other)
        CopyDataFrom(other);
    return *this;
}

CTlLensInformation::~CTlLensInformation()
{
    m_manager = nullptr;
}

void CTlLensInformation::CopyDataFrom(const CTlLensInformation& other)
{
    m_tables.reset();
    m_lensCode = other.m_lensCode;
    // A source without tables gives a copy without tables, not one with
    // made-up zero curves that would pass a user's check.
    if (!other.m_tables)
        return;
    m_tables = NewTables();
    if (m_tables)
        std::copy(other.m_tables.get(), other.m_tables.get() + kAllEntries, m_tables.get());
}

const TlGuid* CTlLensInformation::GetID() const
{
    return &kTlIdLensInformation;
}

void CTlLensInformation::GetLensData(const double** table1, const double** table2, const double** table3,
                                     const double** table4) const
{
    const double** out[kTableCount] = {table1, table2, table3, table4};
    for (int i = 0; i < kTableCount; ++i) {
        if (out[i])
            *out[i] = m_tables ? Table(i) : nullptr;
    }
}

bool CTlLensInformation::SetLensData(const double* table1, const double* table2, const double* table3,
                                     const double* table4)
{
    m_tables = NewTables();
    if (!m_tables)
        return false;
    const double* in[kTableCount] = {table1, table2, table3, table4};
    for (int i = 0; i < kTableCount; ++i) {
        if (in[i])
            std::copy(in[i], in[i] + kTableEntries, Table(i));
    }
    return true;
}

int CTlLensInformation::Save(unsigned char* buffer, int size)
{
    if (!m_tables)
        return 0;
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdLensInformation, kVersion);
    writer.Put(m_lensCode);
    PutInterleaved(writer, Table(0), Table(1));
    PutInterleaved(writer, Table(2), Table(3));
    return writer.Finish();
}

int CTlLensInformation::Load(const unsigned char* buffer, int size)
{
    CTlStateReader reader(buffer, size);
    if (!reader.Open(kTlIdLensInformation))
        return 0;
    // Whatever follows, the old tables go: a user that finds none knows the
    // last lens data offered was not accepted.
    m_tables.reset();
    if (reader.Version() != kVersion || size != kStoredSize)
        return 0;
    std::unique_ptr<double[]> tables = NewTables();
    if (!tables)
        return 0;
    std::uint32_t length = 0;
    reader.Get(length); // not compared: the block's size decides
    std::uint8_t code = 0;
    reader.Get(code);
    double* base = tables.get();
    GetInterleaved(reader, base, base + kTableEntries);
    GetInterleaved(reader, base + 2 * kTableEntries, base + 3 * kTableEntries);
    m_lensCode = code;
    m_tables = std::move(tables);
    return kStoredSize;
}
