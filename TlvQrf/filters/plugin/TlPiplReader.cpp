// Reads the plug-in's name and category from its property list and its
// event id from its scripting resource. Both come from the plug-in file:
// every length and count in them is checked against the resource's size.
#include "filters/plugin/TlPsPluginHost.h"

#include "psplugin/PsResources.h"

#include <cstring>

namespace {

// Reads little-endian values from a block of known size; after the first
// read that would pass the end, every read fails.
class CBoundedReader {
public:
    CBoundedReader(const void* bytes, std::uint32_t size)
        : m_bytes(static_cast<const unsigned char*>(bytes)), m_size(bytes != nullptr ? size : 0)
    {
    }

    bool Skip(std::uint32_t count)
    {
        if (!m_good || count > m_size - m_at)
            return m_good = false;
        m_at += count;
        return true;
    }
    template <typename Value>
    bool Read(Value& value)
    {
        const std::uint32_t at = m_at;
        if (!Skip(sizeof value))
            return false;
        std::memcpy(&value, m_bytes + at, sizeof value);
        return true;
    }
    // A length byte and that many characters.
    bool ReadText(CTlString& text)
    {
        std::uint8_t length = 0;
        const std::uint32_t at = m_at;
        if (!Read(length) || !Skip(length))
            return false;
        return text.SetLengthPrefixed(m_bytes + at, int(length) + 1) != nullptr;
    }
    bool SkipText()
    {
        std::uint8_t length = 0;
        return Read(length) && Skip(length);
    }
    std::uint32_t Position() const { return m_at; }
    std::uint32_t Size() const { return m_size; }
    bool MoveTo(std::uint32_t at)
    {
        if (!m_good || at > m_size)
            return m_good = false;
        m_at = at;
        return true;
    }

private:
    const unsigned char* m_bytes;
    std::uint32_t m_size;
    std::uint32_t m_at = 0;
    bool m_good = true;
};

// The name and category of the property list; false when it is malformed.
bool ReadProperties(const void* pipl, std::uint32_t size, CTlString& name, CTlString& category)
{
    CBoundedReader reader(pipl, size);
    PsPropertyListHeader list{};
    if (!reader.Read(list) || list.count < 0)
        return false;
    for (std::int32_t index = 0; index < list.count; ++index) {
        PsPropertyHeader property{};
        if (!reader.Read(property) || property.length < 0 ||
            std::uint32_t(property.length) > reader.Size() - reader.Position())
            return false;
        const std::uint32_t data = reader.Position();
        CBoundedReader text(static_cast<const unsigned char*>(pipl) + data, std::uint32_t(property.length));
        if (property.key == kPsPropertyName && !text.ReadText(name))
            return false;
        if (property.key == kPsPropertyCategory && !text.ReadText(category))
            return false;
        // The last property's padding may be left out of the resource.
        const std::uint64_t next = std::uint64_t(data) + ((std::uint32_t(property.length) + 3u) & ~3u);
        if (index + 1 < list.count && !reader.MoveTo(next > reader.Size() ? reader.Size() + 1 : std::uint32_t(next)))
            return false;
    }
    return true;
}

// The id of the first event of the first suite; 0 when there is none or the
// resource is malformed.
std::uint32_t ReadFirstEvent(const void* aete, std::uint32_t size)
{
    CBoundedReader reader(aete, size);
    PsScriptingHeader header{};
    if (!reader.Read(header) || header.suiteCount < 1)
        return 0;
    std::uint32_t suiteId = 0, eventClass = 0, eventId = 0;
    std::int16_t level = 0, version = 0, events = 0;
    if (!reader.SkipText() || !reader.SkipText() || !reader.Read(suiteId) || !reader.Read(level) ||
        !reader.Read(version) || !reader.Read(events) || events < 1)
        return 0;
    if (!reader.SkipText() || !reader.SkipText() || !reader.Read(eventClass) || !reader.Read(eventId))
        return 0;
    return eventId;
}

} // namespace

void CPluginHost::ParsePiPL(const void* pipl, std::uint32_t piplSize, const void* aete, std::uint32_t aeteSize)
{
    ResetIdentity();
    CTlString name("?"), category("?");
    if (pipl != nullptr && ReadProperties(pipl, piplSize, name, category)) {
        m_name = name;
        m_category = category;
    }
    m_eventId = aete != nullptr ? ReadFirstEvent(aete, aeteSize) : 0;
}
