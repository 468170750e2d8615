// An upload item: a module item with its picture's IPTC texts, written before
// the module item's own keys.
#pragma once

#include "items/TlvModuleItem.h"

class CTlvUploadItem : public CTlvModuleItem {
public:
    // The three texts go out with line breaks and backslashes escaped, so that
    // a caption of several lines stays one value of the task file.
    unsigned long Load(ITlReader& reader) override;
    unsigned long Save(ITlWriter& writer) override;
    ~CTlvUploadItem() override = default;
    // Keeps width and height; the option is not kept.
    void SetSourceSize(unsigned option, int width, int height) override;

    const std::string& GetKeyWords() const { return m_keyWords; }
    const std::string& GetCaption() const { return m_caption; }
    const std::string& GetDescription() const { return m_description; }
    // Each copies the text with its terminator; a text that does not fit answers false.
    bool CopyKeyWords(char* buffer, std::size_t bufferSize) const;
    bool CopyCaption(char* buffer, std::size_t bufferSize) const;
    bool CopyDescription(char* buffer, std::size_t bufferSize) const;
    // Each answers false when the copy cannot be made.
    bool SetKeyWords(const std::string& text);
    bool SetCaption(const std::string& text);
    bool SetDescription(const std::string& text);

private:
    std::string m_keyWords;
    std::string m_caption;
    std::string m_description;
};
