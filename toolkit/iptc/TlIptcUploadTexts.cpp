#include "iptc/TlIptcUploadTexts.h"

#include "common/TlNoThrow.h"
#include "iptc/TlCmtrViewIPTC.h"

#include <vector>

bool TlReadIptcUploadTexts(const void* block, std::size_t length, TlIptcUploadTexts& texts) noexcept
{
    CCmtrViewIPTC view(block, length);
    std::vector<std::string> keywords;
    int keywordCount = 0;
    if (!view.GetText(kIptcCaption, texts.description) || !view.GetText(kIptcObjectName, texts.caption) ||
        !view.GetTexts(kIptcKeywords, keywords, keywordCount))
        return false;
    return TlAnswerNoThrow([&] {
        texts.keywords.clear();
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            if (i > 0)
                texts.keywords += ' ';
            texts.keywords += keywords[i];
        }
        return true;
    });
}
