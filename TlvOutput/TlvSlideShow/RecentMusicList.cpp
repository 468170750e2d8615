#include "RecentMusicList.h"

#include "files/TlPathHelpers.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// {8FB59967-D35C-1242-B89C-12008ECA3C54} and {7E786B44-DE94-1D41-8F9C-D9C60F9A821E}
// in the Windows GUID byte order.
const unsigned char kListGuid[16] = {0x67, 0x99, 0xB5, 0x8F, 0x5C, 0xD3, 0x42, 0x12,
                                     0xB8, 0x9C, 0x12, 0x00, 0x8E, 0xCA, 0x3C, 0x54};
const unsigned char kEntryGuid[16] = {0x44, 0x6B, 0x78, 0x7E, 0x94, 0xDE, 0x41, 0x1D,
                                      0x8F, 0x9C, 0xD9, 0xC6, 0x0F, 0x9A, 0x82, 0x1E};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kStampOffset = 18;
constexpr std::size_t kPathOffset = 30;
constexpr std::size_t kNameOffset = 542;

// Writes bytes [offset, offset + n) of a record into a buffer of `size` bytes,
// as far as they fit.
void PutBytes(unsigned char* buffer, std::size_t size, std::size_t offset, const void* bytes, std::size_t n)
{
    if (offset >= size)
        return;
    std::memcpy(buffer + offset, bytes, std::min(n, size - offset));
}

void PutU16(unsigned char* buffer, std::size_t size, std::size_t offset, std::uint16_t value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    PutBytes(buffer, size, offset, bytes, 2);
}

void PutU32(unsigned char* buffer, std::size_t size, std::size_t offset, std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    PutBytes(buffer, size, offset, bytes, 4);
}

std::uint16_t GetU16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// A zero-filled text field of `field` bytes: the text cut to leave room for
// its terminator.
void PutText(unsigned char* buffer, std::size_t size, std::size_t offset, const std::string& text, std::size_t field)
{
    std::vector<unsigned char> stored(field, 0);
    std::memcpy(stored.data(), text.data(), std::min(text.size(), field - 1));
    PutBytes(buffer, size, offset, stored.data(), field);
}

// The text of a field up to its first zero, never past the field's end.
std::string GetText(const unsigned char* field, std::size_t length)
{
    const void* end = std::memchr(field, 0, length);
    const std::size_t n = end ? std::size_t(static_cast<const unsigned char*>(end) - field) : length;
    return std::string(reinterpret_cast<const char*>(field), n);
}

} // namespace

bool RecentMusicStamp::operator<(const RecentMusicStamp& other) const
{
    return std::lexicographical_compare(fields, fields + 6, other.fields, other.fields + 6);
}

bool RecentMusicStamp::operator==(const RecentMusicStamp& other) const
{
    return std::equal(fields, fields + 6, other.fields);
}

RecentMusicStamp RecentMusicStamp::Now()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    RecentMusicStamp stamp;
    const WORD parts[6] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    std::copy(parts, parts + 6, stamp.fields);
    return stamp;
}

std::size_t RecentMusicEntry::Write(unsigned char* buffer, std::size_t size) const
{
    if (buffer == nullptr)
        return kSize;
    PutBytes(buffer, size, 0, kEntryGuid, sizeof kEntryGuid);
    PutU16(buffer, size, 16, kVersion);
    for (std::size_t i = 0; i < 6; ++i)
        PutU16(buffer, size, kStampOffset + 2 * i, stamp.fields[i]);
    PutText(buffer, size, kPathOffset, path, kPathField);
    PutText(buffer, size, kNameOffset, displayName, kNameField);
    return kSize;
}

std::size_t RecentMusicEntry::Read(const unsigned char* buffer, std::size_t size)
{
    // A damaged or cut entry is never read in part.
    if (buffer == nullptr || size < kSize || std::memcmp(buffer, kEntryGuid, sizeof kEntryGuid) != 0 ||
        GetU16(buffer + 16) != kVersion)
        return 0;
    for (std::size_t i = 0; i < 6; ++i)
        stamp.fields[i] = GetU16(buffer + kStampOffset + 2 * i);
    path = GetText(buffer + kPathOffset, kPathField);
    displayName = GetText(buffer + kNameOffset, kNameField);
    return kSize;
}

std::size_t RecentMusicList::Write(unsigned char* buffer, std::size_t size) const
{
    const std::size_t total = kHeaderSize + RecentMusicEntry::kSize * entries.size();
    if (buffer == nullptr)
        return total;
    PutBytes(buffer, size, 0, kListGuid, sizeof kListGuid);
    PutU16(buffer, size, 16, kVersion);
    PutU32(buffer, size, 18, static_cast<std::uint32_t>(total - 18));
    PutU16(buffer, size, 22, static_cast<std::uint16_t>(entries.size()));
    std::size_t offset = kHeaderSize;
    for (const RecentMusicEntry& entry : entries) {
        if (offset < size)
            entry.Write(buffer + offset, size - offset);
        offset += RecentMusicEntry::kSize;
    }
    return total;
}

std::size_t RecentMusicList::Read(const unsigned char* buffer, std::size_t size)
{
    if (buffer == nullptr || size < 18 || std::memcmp(buffer, kListGuid, sizeof kListGuid) != 0 ||
        GetU16(buffer + 16) != kVersion)
        return 0;
    entries.clear();
    const std::size_t count = size >= kHeaderSize ? GetU16(buffer + 22) : 0;
    std::size_t offset = kHeaderSize;
    for (std::size_t i = 0; i < count && offset + RecentMusicEntry::kSize <= size; ++i) {
        RecentMusicEntry entry;
        if (entry.Read(buffer + offset, size - offset) == 0)
            break;
        entries.push_back(entry);
        offset += RecentMusicEntry::kSize;
    }
    return kHeaderSize + RecentMusicEntry::kSize * entries.size();
}

void RecentMusicList::SortByStamp()
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RecentMusicEntry& a, const RecentMusicEntry& b) { return a.stamp < b.stamp; });
}

void RecentMusicList::Trim()
{
    if (entries.size() <= kKeepOnSave)
        return;
    SortByStamp();
    entries.erase(entries.begin(), entries.end() - std::ptrdiff_t(kKeepOnSave));
}

int RecentMusicList::Find(const std::string& path) const
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].path == path)
            return int(i);
    }
    return -1;
}

std::size_t RecentMusicList::Choose(const std::string& path, const RecentMusicStamp& stamp)
{
    const int found = Find(path);
    if (found >= 0) {
        entries[std::size_t(found)].stamp = stamp;
        return std::size_t(found);
    }
    RecentMusicEntry entry;
    entry.path = path;
    entry.stamp = stamp;
    entry.displayName = MusicDisplayName(path);
    entries.push_back(entry);
    return entries.size() - 1;
}

std::string MusicDisplayName(const std::string& path)
{
    return GetFileName(path, false);
}
