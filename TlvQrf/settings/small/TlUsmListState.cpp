#include "settings/small/TlUsmListState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateLoad.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <new>

namespace {
constexpr std::uint16_t kVersion = 2;
constexpr int kEntrySize = 27;

// Version 1 has no length word: its count stands at 18. Every counted entry
// must be present; a count that claims more is a corrupt record.
int ReadFields(CTlStateReader& reader, CTlUsmListState& record)
{
    const std::uint16_t version = reader.Version();
    if (version != 1 && version != 2)
        return 0;
    if (version == 2 && !reader.SkipLength())
        return 0;
    std::uint8_t count = 0;
    reader.Get(count);
    const std::int64_t start = reader.Offset();
    if (count != 0 && !reader.Has(std::int64_t(count) * kEntrySize))
        return 0;
    for (int i = 0; i < count; ++i) {
        CTlUsmState entry;
        if (reader.GetRecord(entry) == 0)
            break;
        record.entries.push_back(entry);
    }
    return static_cast<int>(start + std::int64_t(count) * kEntrySize);
}
} // namespace

CTlUsmListState::CTlUsmListState(const CTlUsmListState& other) : ITlState(other)
{
    *this = other;
}

CTlUsmListState& CTlUsmListState::operator=(const CTlUsmListState& other)
{
    try {
        std::vector<CTlUsmState> copy(other.entries);
        entries.swap(copy);
    } catch (const std::bad_alloc&) {
    }
    return *this;
}

const TlGuid* CTlUsmListState::GetID() const
{
    return &kTlIdUsmListState;
}

int CTlUsmListState::Save(unsigned char* buffer, int size)
{
    const std::size_t count = std::min(entries.size(), kMaxStoredEntries);
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdUsmListState, kVersion);
    writer.Put(static_cast<std::uint8_t>(count));
    for (std::size_t i = 0; i < count; ++i)
        writer.PutRecord(entries[i]);
    return writer.Finish();
}

int CTlUsmListState::Load(const unsigned char* buffer, int size)
{
    return LoadWithoutLengthWord(*this, buffer, size, ReadFields);
}
