#include "SlideshowSettings.h"

#include "runbase/TlvResultCodes.h"
#include "serialize/TlSerializeMgr.h"

#include "afxwin.h"

namespace {

constexpr unsigned long kDefaultSeconds = 4;
// Longer stored durations come from a damaged value (an earlier dialog
// stored negative numbers) and would freeze the show on its first picture.
constexpr unsigned long kLongestSeconds = 65535;

constexpr int kRegistryReaderMode = 5;
constexpr int kRegistryWriterMode = 6;

} // namespace

SlideshowSettings::SlideshowSettings() = default;

void SlideshowSettings::ResetValues()
{
    toolbarState = kToolbarVisible;
    imageDuration = 2400;
    matchSound = false;
    alwaysShowDialog = true;
    showFileInfo = false;
    sound = false;
    loop = false;
    transitionKind = kTransitionNone;
    transitionParameter = 0;
    selectedMusic.clear();
    recentMusic.entries.clear();
    background[0] = background[1] = background[2] = 0;
    reservedWord = 2;
    reservedDuration1 = 1200;
    reservedDuration2 = 1200;
}

void SlideshowSettings::Reset()
{
    ResetValues();
    LoadFromRegistry();
}

unsigned long SlideshowSettings::Load(ITlReader& reader)
{
    unsigned long toolbar = 0, kind = 0, seconds = 0;
    int direction = 0;
    if (!reader.ReadULong("ToolBarState", &toolbar, 0))
        return TLV_ERR_FAILED;
    toolbarState = static_cast<std::uint16_t>(toolbar);
    if (!reader.ReadBool("AlwaysShowDlg", &alwaysShowDialog, true))
        return TLV_ERR_FAILED;
    if (!reader.ReadULong("EffectName", &kind, kTransitionNone))
        return TLV_ERR_FAILED;
    transitionKind = static_cast<std::uint32_t>(kind);
    if (!reader.ReadInt("EffectDir", &direction, 0))
        return TLV_ERR_FAILED;
    transitionParameter = direction;
    if (!reader.ReadBool("MatchSound", &matchSound, false) || !reader.ReadBool("Loop", &loop, false) ||
        !reader.ReadBool("ShowFileInfo", &showFileInfo, false))
        return TLV_ERR_FAILED;
    if (!reader.ReadULong("ImageDuration", &seconds, kDefaultSeconds))
        return TLV_ERR_FAILED;
    // Only the low 32 bits are stored; a wider unsigned long keeps them.
    seconds &= 0xFFFFFFFFul;
    if (seconds > kLongestSeconds)
        seconds = kDefaultSeconds;
    imageDuration = double(seconds) * kMovieUnitsPerSecond;
    if (!reader.ReadBool("Sound", &sound, false) || !reader.ReadString("SelectedMusic", &selectedMusic))
        return TLV_ERR_FAILED;
    // A missing list is no failure: the list stays empty.
    std::vector<unsigned char> stored;
    recentMusic.entries.clear();
    if (reader.ReadByteVector("RecentMusic", &stored) && !stored.empty())
        recentMusic.Read(stored.data(), stored.size());
    return TLV_OK;
}

unsigned long SlideshowSettings::Save(ITlWriter& writer)
{
    const double wholeSeconds = imageDuration > 0 ? imageDuration / kMovieUnitsPerSecond : 0;
    if (!writer.WriteULong("ToolBarState", toolbarState) || !writer.WriteBool("AlwaysShowDlg", alwaysShowDialog) ||
        !writer.WriteULong("EffectName", transitionKind) || !writer.WriteInt("EffectDir", transitionParameter) ||
        !writer.WriteBool("MatchSound", matchSound) || !writer.WriteBool("Loop", loop) ||
        !writer.WriteBool("ShowFileInfo", showFileInfo) ||
        !writer.WriteULong("ImageDuration", static_cast<unsigned long>(wholeSeconds)) ||
        !writer.WriteBool("Sound", sound) || !writer.WriteString("SelectedMusic", selectedMusic))
        return TLV_ERR_FAILED;
    recentMusic.Trim();
    std::vector<unsigned char> stored(recentMusic.Write(nullptr, 0));
    recentMusic.Write(stored.data(), stored.size());
    return writer.WriteByteVector("RecentMusic", stored) ? TLV_OK : TLV_ERR_FAILED;
}

unsigned long SlideshowSettings::LoadFromRegistry()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CTlSerializeMgr* manager = CTlSerializeMgr::GetInstance();
    TlSerializeDescriptor descriptor;
    descriptor.mode = kRegistryReaderMode;
    std::unique_ptr<ITlReader> reader = manager ? manager->CreateReader(descriptor) : nullptr;
    return reader ? Load(*reader) : TLV_ERR_FAILED;
}

unsigned long SlideshowSettings::SaveToRegistry()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CTlSerializeMgr* manager = CTlSerializeMgr::GetInstance();
    TlSerializeDescriptor descriptor;
    descriptor.mode = kRegistryWriterMode;
    std::unique_ptr<ITlWriter> writer = manager ? manager->CreateWriter(descriptor) : nullptr;
    return writer ? Save(*writer) : TLV_ERR_FAILED;
}

void SlideshowSettings::ChooseMusicFile(const std::string& path)
{
    recentMusic.Choose(path, stampSource());
    selectedMusic = path;
    sound = true;
}

bool SlideshowSettings::ChooseRecentMusic(std::size_t index)
{
    if (index >= recentMusic.entries.size())
        return false;
    recentMusic.entries[index].stamp = stampSource();
    selectedMusic = recentMusic.entries[index].path;
    return true;
}

void SlideshowSettings::ReserveRecords(std::size_t count)
{
    m_records.reserve(count);
    m_reserved = count;
}

void SlideshowSettings::InsertRecord(int index, const ShowRecord& record)
{
    if (index == -1 || std::size_t(index) >= m_records.size())
        m_records.push_back(record);
    else if (index < 1)
        m_records.insert(m_records.begin(), record);
    else
        m_records.insert(m_records.begin() + index, record);
}

int SlideshowSettings::FindRecord(std::uint64_t itemId) const
{
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].ItemId() == itemId)
            return int(i);
    }
    return -1;
}

void SlideshowSettings::ClearRecords()
{
    m_records.clear();
    m_reserved = 0;
}
