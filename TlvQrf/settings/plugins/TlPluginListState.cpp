#include "settings/plugins/TlPluginListState.h"

#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {
constexpr std::uint16_t kVersion = 1;
// The smallest stored plug-in record.
constexpr std::int64_t kMinEntrySize = 32;

// Visits the entries and the kept plug-ins in stored order: a kept plug-in
// comes before the entry at its position, or after the last entry.
template <typename Visit>
void VisitInStoredOrder(CTlPluginListState& list, Visit visit)
{
    std::size_t next = 0;
    for (std::size_t i = 0; i <= list.entries.size(); ++i) {
        const bool last = i == list.entries.size();
        for (; next < list.unresolved.size() && (last || list.unresolved[next].position <= i); ++next)
            visit(list.unresolved[next].entry);
        if (!last)
            visit(list.entries[i]);
    }
}

// Every counted record must be present and readable; a count that claims
// more, or a corrupt record, marks the list corrupt.
bool ReadEntries(CTlStateReader& reader, CTlPluginListState& list)
{
    std::uint16_t count = 0;
    if (!reader.Get(count))
        return true;
    list.entries.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, reader.Remaining() / kMinEntrySize)));
    for (std::uint16_t i = 0; i < count; ++i) {
        CTlPluginState entry;
        if (reader.GetRecord(entry) == 0)
            return false;
        if (entry.IsUnresolved())
            list.unresolved.push_back({std::move(entry), list.entries.size()});
        else
            list.entries.push_back(std::move(entry));
    }
    return true;
}
} // namespace

CTlPluginListState::CTlPluginListState(const CTlPluginListState& other) : ITlState(other)
{
    *this = other;
}

CTlPluginListState& CTlPluginListState::operator=(const CTlPluginListState& other)
{
    if (this == &other)
        return *this;
    try {
        std::vector<CTlPluginState> entriesCopy(other.entries);
        std::vector<Unresolved> unresolvedCopy(other.unresolved);
        entries.swap(entriesCopy);
        unresolved.swap(unresolvedCopy);
    } catch (const std::bad_alloc&) {
    }
    return *this;
}

const TlGuid* CTlPluginListState::GetID() const
{
    return &kTlIdPluginListState;
}

bool CTlPluginListState::IsDefault() const
{
    return unresolved.empty() &&
           std::all_of(entries.begin(), entries.end(), [](const CTlPluginState& entry) { return entry.IsEmpty(); });
}

std::vector<CTlString> CTlPluginListState::GetUnresolvedNames() const
{
    std::vector<CTlString> names;
    for (const Unresolved& kept : unresolved)
        names.push_back(kept.entry.GetHeldName());
    return names;
}

int CTlPluginListState::Save(unsigned char* buffer, int size)
{
    const std::size_t count = std::min(entries.size() + unresolved.size(), kMaxStoredEntries);
    CTlStateWriter writer(buffer, size);
    writer.Header(kTlIdPluginListState, kVersion);
    writer.Put(static_cast<std::uint16_t>(count));
    std::size_t written = 0;
    VisitInStoredOrder(*this, [&](CTlPluginState& entry) {
        if (written++ < count)
            writer.PutRecord(entry);
    });
    return writer.Finish();
}

int CTlPluginListState::Load(const unsigned char* buffer, int size)
{
    CTlStateReader reader(buffer, size);
    if (!reader.Open(kTlIdPluginListState) || reader.Version() == 0 || !reader.SkipLength())
        return 0;
    try {
        CTlPluginListState loaded;
        if (!ReadEntries(reader, loaded))
            return 0;
        entries.swap(loaded.entries);
        unresolved.swap(loaded.unresolved);
        return reader.Consumed();
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
