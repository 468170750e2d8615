// The texts of an IPTC block, read out of its datasets (record 2).
#pragma once

#include "iptc/TlCmtrIPTC.h"

#include <string>
#include <vector>

// Dataset tags: record in the high byte, dataset number in the low byte.
enum TlIptcTag : unsigned short {
    kIptcObjectName = 0x205,           // 2:05
    kIptcUrgency = 0x20A,              // 2:10
    kIptcCategory = 0x20F,             // 2:15
    kIptcSupplementalCategory = 0x214, // 2:20
    kIptcKeywords = 0x219,             // 2:25
    kIptcSpecialInstructions = 0x228,  // 2:40
    kIptcDateCreated = 0x237,          // 2:55
    kIptcByLine = 0x250,               // 2:80
    kIptcByLineTitle = 0x255,          // 2:85
    kIptcCity = 0x25A,                 // 2:90
    kIptcProvinceState = 0x25F,        // 2:95
    kIptcCountryName = 0x265,          // 2:101
    kIptcTransmissionReference = 0x267, // 2:103
    kIptcHeadline = 0x269,             // 2:105
    kIptcCredit = 0x26E,               // 2:110
    kIptcSource = 0x273,               // 2:115
    kIptcCopyrightNotice = 0x274,      // 2:116
    kIptcCaption = 0x278,              // 2:120
    kIptcWriterEditor = 0x27A,         // 2:122
};

class CCmtrViewIPTC : public CCmtrIPTC {
public:
    enum ShootingDataMode { kShootingDataSection = 0, kTextBeforeSection = 1 };

    CCmtrViewIPTC(const void* block, std::size_t length) noexcept;

    // The first dataset's text replaces `text`; an absent dataset leaves it as
    // it is. Answers 1, or 0 when the copy cannot be made.
    int GetText(unsigned short tag, std::string& text);
    // Every dataset of `tag` in block order; answers 1, or 0 when out of memory.
    int GetTexts(unsigned short tag, std::vector<std::string>& texts, int& count);
    // Fills the fields below in order; 0 with no block or at the first text that
    // cannot be copied, 1 when all were read.
    int LoadAll();

    // Mode 0: the shooting-data section's content (at most 2000 bytes), empty
    // when the caption has no begin marker. Mode 1: the caption before the
    // begin marker, all of it without one. Other modes, and a text that cannot
    // be copied, answer false.
    static bool GetShootingData(const std::string& caption, std::string& out, int mode);

    std::string m_caption;
    std::string m_shootingData;
    std::string m_writerEditor;
    std::string m_headline;
    std::string m_specialInstructions;
    std::vector<std::string> m_keywords;
    int m_keywordCount = 0;
    std::string m_category;
    std::vector<std::string> m_supplementalCategories;
    int m_supplementalCategoryCount = 0;
    std::string m_urgency;
    std::vector<std::string> m_byLines;
    int m_byLineCount = 0;
    std::vector<std::string> m_byLineTitles;
    int m_byLineTitleCount = 0;
    std::string m_credit;
    std::string m_source;
    std::string m_objectName;
    std::string m_dateCreated;
    std::string m_city;
    std::string m_provinceState;
    std::string m_countryName;
    std::string m_transmissionReference;
    std::string m_copyrightNotice;

private:
    int LoadCaption();
};
