// The recently used music files, kept between shows as one binary registry
// value ("RecentMusic") in a versioned record of fixed-size entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Year, month, day, hour, minute, second (UTC, as the system clock gives it).
struct RecentMusicStamp {
    std::uint16_t fields[6] = {0, 0, 0, 0, 0, 0};
    // Compares field by field as unsigned numbers.
    bool operator<(const RecentMusicStamp& other) const;
    bool operator==(const RecentMusicStamp& other) const;
    static RecentMusicStamp Now();
};

class RecentMusicEntry {
public:
    static constexpr std::size_t kSize = 670;
    static constexpr std::size_t kPathField = 512;
    static constexpr std::size_t kNameField = 128;

    std::size_t Size() const { return kSize; }
    // Fills as much of the stored entry as fits; answers kSize.
    std::size_t Write(unsigned char* buffer, std::size_t size) const;
    // kSize for a whole version-1 entry, else 0 (the entry is then unchanged).
    std::size_t Read(const unsigned char* buffer, std::size_t size);

    std::string path;
    RecentMusicStamp stamp;
    std::string displayName;
};

class RecentMusicList {
public:
    static constexpr std::size_t kHeaderSize = 24;
    static constexpr std::size_t kKeepOnSave = 7;

    // The stored size, 24 + 670 per entry; fills as much as fits into
    // `buffer` (none: only the size is answered).
    std::size_t Write(unsigned char* buffer, std::size_t size) const;
    // Reads a stored list in place of this one: the bytes accounted for,
    // or 0 (and the list untouched) when the record is not one of ours.
    std::size_t Read(const unsigned char* buffer, std::size_t size);

    // Sorts oldest first and drops the oldest beyond the newest seven.
    void Trim();
    void SortByStamp();

    // The entry whose path equals `path` byte for byte gets the stamp;
    // otherwise a new entry is appended. Answers its index.
    std::size_t Choose(const std::string& path, const RecentMusicStamp& stamp);
    // -1 when no entry has exactly this path.
    int Find(const std::string& path) const;

    std::vector<RecentMusicEntry> entries;
};

// The name a music file is listed by: the part after the last '\' and the
// last ':', without the extension.
std::string MusicDisplayName(const std::string& path);
