// The ICC layout of a generated profile: the base profile's header and tag
// table, new 'desc' and 'cprt' tags, the base's 'wtpt', 'A2B0' and 'B2A0'
// behind them, and the grid of 'A2B0' replaced by ours. Nothing is written
// past the caller's buffer, and the header's size is the bytes written.
#include "camera/TlCameraProfile.h"

#include <cstring>

namespace {

constexpr std::size_t kTagTableEnd = 192;
constexpr std::size_t kTagCountAt = 128;
constexpr std::uint32_t kGridOffset = 24628;

std::uint32_t GetBE32(const std::uint8_t* at)
{
    return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
}

void PutBE32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = std::uint8_t(value >> (24 - 8 * i));
}

std::uint32_t Align4(std::uint32_t value)
{
    return (value + 3u) & ~3u;
}

struct TagEntry {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    bool found = false;
};

TagEntry FindTag(const std::vector<std::uint8_t>& base, const char* signature)
{
    TagEntry entry;
    for (std::size_t i = 0; i < 5; ++i) {
        const std::uint8_t* at = base.data() + 132 + 12 * i;
        if (std::memcmp(at, signature, 4) == 0) {
            entry.offset = GetBE32(at + 4);
            entry.size = GetBE32(at + 8);
            entry.found = entry.offset <= base.size() && entry.size <= base.size() - entry.offset;
        }
    }
    return entry;
}

struct Layout {
    TagEntry desc, cprt, wtpt, a2b0, b2a0;
    std::uint32_t baseTail = 0; // base bytes from its 'wtpt' on
    std::uint32_t total = 0;
};

// The new places of the tags; false when the base cannot carry them.
bool PlanLayout(const std::vector<std::uint8_t>& base, std::uint32_t descSize, std::uint32_t cprtSize, Layout* l)
{
    if (base.size() < kTagTableEnd || GetBE32(base.data() + kTagCountAt) != 5)
        return false;
    const TagEntry wtpt = FindTag(base, "wtpt"), a2b0 = FindTag(base, "A2B0"), b2a0 = FindTag(base, "B2A0");
    if (!wtpt.found || !a2b0.found || !b2a0.found || a2b0.size < kGridOffset + kTlGridSize * 6u)
        return false;
    l->desc = {std::uint32_t(kTagTableEnd), descSize, true};
    l->cprt = {Align4(l->desc.offset + descSize), cprtSize, true};
    l->wtpt = {Align4(l->cprt.offset + cprtSize), wtpt.size, true};
    l->a2b0 = {Align4(l->wtpt.offset + wtpt.size), a2b0.size, true};
    l->b2a0 = {Align4(l->a2b0.offset + a2b0.size), b2a0.size, true};
    // The base's tags must stand where the copy of its tail puts them.
    if (a2b0.offset < wtpt.offset || b2a0.offset < wtpt.offset ||
        a2b0.offset - wtpt.offset != l->a2b0.offset - l->wtpt.offset ||
        b2a0.offset - wtpt.offset != l->b2a0.offset - l->wtpt.offset)
        return false;
    l->baseTail = std::uint32_t(base.size()) - wtpt.offset;
    l->total = l->wtpt.offset + l->baseTail;
    return true;
}

void PutEntry(std::uint8_t* out, int slot, const char* signature, const TagEntry& entry)
{
    std::uint8_t* at = out + 132 + 12 * slot;
    std::memcpy(at, signature, 4);
    PutBE32(at + 4, entry.offset);
    PutBE32(at + 8, entry.size);
}

void PutDescription(std::uint8_t* at, const std::string& text)
{
    const std::size_t n = text.size();
    std::memset(at, 0, 2 * n + 25);
    std::memcpy(at, "desc", 4);
    PutBE32(at + 8, std::uint32_t(n + 1));
    std::memcpy(at + 12, text.c_str(), n + 1);
    at[12 + n + 1 + 10] = std::uint8_t(n + 1);
    std::memcpy(at + 12 + n + 1 + 11, text.c_str(), n + 1);
}

void PutNotice(std::uint8_t* at, const std::string& text)
{
    std::memset(at, 0, text.size() + 9);
    std::memcpy(at, "text", 4);
    std::memcpy(at + 8, text.c_str(), text.size() + 1);
}

void PutGrid(std::uint8_t* at, const std::uint16_t* const planes[3])
{
    for (int i = 0; i < kTlGridSize; ++i)
        for (int c = 0; c < 3; ++c, at += 2) {
            at[0] = std::uint8_t(planes[c][i] >> 8);
            at[1] = std::uint8_t(planes[c][i]);
        }
}

} // namespace

std::uint32_t TlLayOutProfile(const std::vector<std::uint8_t>& base, const std::string& description,
                              const std::string& notice, const std::uint16_t* const planes[3], std::uint8_t* out,
                              std::uint32_t size)
{
    Layout l;
    if (description.size() > 254 ||
        !PlanLayout(base, std::uint32_t(2 * description.size() + 25), std::uint32_t(notice.size() + 9), &l) ||
        l.total > size)
        return 0;
    std::memset(out, 0, l.total);
    std::memcpy(out, base.data(), kTagTableEnd);
    PutEntry(out, 0, "desc", l.desc);
    PutEntry(out, 1, "cprt", l.cprt);
    PutEntry(out, 2, "wtpt", l.wtpt);
    PutEntry(out, 3, "A2B0", l.a2b0);
    PutEntry(out, 4, "B2A0", l.b2a0);
    PutDescription(out + l.desc.offset, description);
    PutNotice(out + l.cprt.offset, notice);
    std::memcpy(out + l.wtpt.offset, base.data() + (base.size() - l.baseTail), l.baseTail);
    PutGrid(out + l.a2b0.offset + kGridOffset, planes);
    PutBE32(out, l.total);
    return l.total;
}
