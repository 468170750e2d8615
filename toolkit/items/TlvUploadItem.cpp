#include "items/TlvUploadItem.h"

#include "common/TlNoThrow.h"
#include "items/TlLineEscape.h"

#include <cstring>

namespace {

bool ReadEscaped(ITlReader& reader, const char* key, std::string& text)
{
    std::string escaped;
    if (!reader.ReadString(key, &escaped))
        return false;
    text = TlUnescapeLineBreaks(escaped);
    return true;
}

bool CopyText(const std::string& text, char* buffer, std::size_t bufferSize)
{
    if (!buffer || text.size() >= bufferSize)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

bool Assign(std::string& field, const std::string& text)
{
    return TlAnswerNoThrow([&] {
        field = text;
        return true;
    });
}

} // namespace

unsigned long CTlvUploadItem::Load(ITlReader& reader)
{
    const bool read = TlAnswerNoThrow([&] {
        return ReadEscaped(reader, "KeyWords", m_keyWords) && ReadEscaped(reader, "Caption", m_caption) &&
               ReadEscaped(reader, "Description", m_description);
    });
    return read ? CTlvModuleItem::Load(reader) : kKeyFailed;
}

unsigned long CTlvUploadItem::Save(ITlWriter& writer)
{
    const bool written = TlAnswerNoThrow([&] {
        return writer.WriteString("KeyWords", TlEscapeLineBreaks(m_keyWords)) &&
               writer.WriteString("Caption", TlEscapeLineBreaks(m_caption)) &&
               writer.WriteString("Description", TlEscapeLineBreaks(m_description));
    });
    return written ? CTlvModuleItem::Save(writer) : kKeyFailed;
}

void CTlvUploadItem::SetSourceSize(unsigned, int width, int height)
{
    m_sourceWidth = width;
    m_sourceHeight = height;
}

bool CTlvUploadItem::CopyKeyWords(char* buffer, std::size_t bufferSize) const
{
    return CopyText(m_keyWords, buffer, bufferSize);
}

bool CTlvUploadItem::CopyCaption(char* buffer, std::size_t bufferSize) const
{
    return CopyText(m_caption, buffer, bufferSize);
}

bool CTlvUploadItem::CopyDescription(char* buffer, std::size_t bufferSize) const
{
    return CopyText(m_description, buffer, bufferSize);
}

bool CTlvUploadItem::SetKeyWords(const std::string& text) { return Assign(m_keyWords, text); }
bool CTlvUploadItem::SetCaption(const std::string& text) { return Assign(m_caption, text); }
bool CTlvUploadItem::SetDescription(const std::string& text) { return Assign(m_description, text); }
