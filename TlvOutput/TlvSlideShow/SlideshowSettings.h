// What the user chooses for a show, kept between shows under the
// slideshow's "LastSettings" key, and the show records of the current show.
#pragma once

#include "FourCC.h"
#include "RecentMusicList.h"
#include "ShowRecord.h"

#include "serialize/TlSerialize.h"

#include <cstdint>
#include <string>
#include <vector>

class ITlvItemService;

enum : std::uint16_t {
    kToolbarVisible = 0,
    kToolbarHidden = 1,
    kToolbarAutoHidden = 2,
};

// Movie time units per second.
constexpr int kMovieUnitsPerSecond = 600;

class SlideshowSettings : public ITlSerialize {
public:
    SlideshowSettings();

    // The reset values, then the stored ones from the registry.
    void Reset();
    // Reads or writes the stored values in their fixed order; 0, or 0x1008
    // at the first value the back end fails (values before it are kept).
    unsigned long Load(ITlReader& reader) override;
    unsigned long Save(ITlWriter& writer) override;
    // The same through the serialiser manager's registry reader (mode 5)
    // and writer (mode 6), in this library's module state.
    unsigned long LoadFromRegistry();
    unsigned long SaveToRegistry();

    // The music chosen through the file dialog: restamped or added to the
    // recent list, selected, and music switched on.
    void ChooseMusicFile(const std::string& path);
    // The recent entry `index`: restamped, and its path selected. False for
    // an index out of range.
    bool ChooseRecentMusic(std::size_t index);

    // Show records.
    void ReserveRecords(std::size_t count);
    // -1 appends; below 1 inserts at the front; otherwise before `index`.
    void InsertRecord(int index, const ShowRecord& record);
    int FindRecord(std::uint64_t itemId) const;
    void ClearRecords();
    std::size_t ReservedRecords() const { return m_reserved; }
    const std::vector<ShowRecord>& Records() const { return m_records; }

    void SetItemService(ITlvItemService* service) { m_itemService = service; }
    ITlvItemService* ItemService() const { return m_itemService; }

    std::uint16_t toolbarState = kToolbarVisible;
    double imageDuration = 2400; // units of 1/600 s
    bool matchSound = false;
    bool alwaysShowDialog = true;
    bool showFileInfo = false;
    bool sound = false;
    bool loop = false;
    std::uint32_t transitionKind = kTransitionNone;
    int transitionParameter = 0;
    std::string selectedMusic;
    RecentMusicList recentMusic;
    // Background of the show (red, green, blue, 16 bits each).
    std::uint16_t background[3] = {0, 0, 0};
    // Set on reset and never stored.
    int reservedWord = 2;
    int reservedDuration1 = 1200;
    int reservedDuration2 = 1200;

    // The clock that stamps chosen music; tests replace it.
    RecentMusicStamp (*stampSource)() = &RecentMusicStamp::Now;

private:
    void ResetValues();

    std::vector<ShowRecord> m_records;
    std::size_t m_reserved = 0;
    ITlvItemService* m_itemService = nullptr;
};
