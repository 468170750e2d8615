#include "iptc/TlCmtrViewIPTC.h"

#include "common/TlNoThrow.h"

namespace {

const char kSectionBegin[] = "[#Beginning of Shooting Data Section]\r";
const char kSectionEnd[] = "[#End of Shooting Data Section]\r";
constexpr std::size_t kMostShootingData = 2000;

} // namespace

CCmtrViewIPTC::CCmtrViewIPTC(const void* block, std::size_t length) noexcept : CCmtrIPTC(block, length) {}

int CCmtrViewIPTC::GetText(unsigned short tag, std::string& text)
{
    return FindText(tag, Search::FromStart, text) == TextFound::NoMemory ? 0 : 1;
}

int CCmtrViewIPTC::GetTexts(unsigned short tag, std::vector<std::string>& texts, int& count)
{
    const bool read = TlAnswerNoThrow([&] {
        std::vector<std::string> found;
        std::string text;
        TextFound result = FindText(tag, Search::FromStart, text);
        while (result == TextFound::Yes) {
            found.push_back(text);
            result = FindText(tag, Search::FromLast, text);
        }
        if (result == TextFound::NoMemory)
            return false;
        texts.swap(found);
        return true;
    });
    if (!read)
        return 0;
    count = static_cast<int>(texts.size());
    return 1;
}

int CCmtrViewIPTC::LoadCaption()
{
    std::string caption;
    if (!GetText(kIptcCaption, caption))
        return 0;
    return GetShootingData(caption, m_caption, kTextBeforeSection) &&
           GetShootingData(caption, m_shootingData, kShootingDataSection);
}

int CCmtrViewIPTC::LoadAll()
{
    if (!HasBlock())
        return 0;
    return LoadCaption() && GetText(kIptcWriterEditor, m_writerEditor) && GetText(kIptcHeadline, m_headline) &&
           GetText(kIptcSpecialInstructions, m_specialInstructions) &&
           GetTexts(kIptcKeywords, m_keywords, m_keywordCount) && GetText(kIptcCategory, m_category) &&
           GetTexts(kIptcSupplementalCategory, m_supplementalCategories, m_supplementalCategoryCount) &&
           GetText(kIptcUrgency, m_urgency) && GetTexts(kIptcByLine, m_byLines, m_byLineCount) &&
           GetTexts(kIptcByLineTitle, m_byLineTitles, m_byLineTitleCount) && GetText(kIptcCredit, m_credit) &&
           GetText(kIptcSource, m_source) && GetText(kIptcObjectName, m_objectName) &&
           GetText(kIptcDateCreated, m_dateCreated) && GetText(kIptcCity, m_city) &&
           GetText(kIptcProvinceState, m_provinceState) && GetText(kIptcCountryName, m_countryName) &&
           GetText(kIptcTransmissionReference, m_transmissionReference) &&
           GetText(kIptcCopyrightNotice, m_copyrightNotice);
}

namespace {

bool CutShootingData(const std::string& caption, std::string& out, int mode)
{
    const std::size_t begin = caption.find(kSectionBegin);
    switch (mode) {
    case CCmtrViewIPTC::kShootingDataSection: {
        if (begin == std::string::npos) {
            out.clear();
            return true;
        }
        const std::size_t content = begin + sizeof kSectionBegin - 1;
        const std::size_t end = caption.find(kSectionEnd, content);
        const std::size_t length = (end == std::string::npos ? caption.size() : end) - content;
        out = caption.substr(content, length < kMostShootingData ? length : kMostShootingData);
        return true;
    }
    case CCmtrViewIPTC::kTextBeforeSection:
        out = caption.substr(0, begin);
        return true;
    default:
        return false;
    }
}

} // namespace

bool CCmtrViewIPTC::GetShootingData(const std::string& caption, std::string& out, int mode)
{
    return TlAnswerNoThrow([&] { return CutShootingData(caption, out, mode); });
}
