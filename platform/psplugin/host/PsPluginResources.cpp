#include "PsPluginResources.h"

#include "psplugin/PsResources.h"

#include <cstring>

namespace {

// Little-endian, unaligned reads that never pass the end.
class CCursor {
public:
    explicit CCursor(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    bool Good() const { return m_good; }
    std::size_t Offset() const { return m_offset; }
    bool Skip(std::size_t count)
    {
        if (!m_good || count > m_bytes.size() - m_offset)
            return m_good = false;
        m_offset += count;
        return true;
    }
    std::uint32_t Word(std::size_t size)
    {
        std::uint32_t value = 0;
        const std::size_t at = m_offset;
        if (!Skip(size))
            return 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= std::uint32_t(m_bytes[at + i]) << (8 * i);
        return value;
    }
    std::uint16_t U16() { return std::uint16_t(Word(2)); }
    std::uint32_t U32() { return Word(4); }
    std::string Pascal()
    {
        const std::size_t length = Word(1);
        const std::size_t at = m_offset;
        if (!Skip(length))
            return std::string();
        return std::string(reinterpret_cast<const char*>(m_bytes.data() + at), length);
    }
    std::vector<std::uint8_t> Bytes(std::size_t count)
    {
        const std::size_t at = m_offset;
        if (!Skip(count))
            return {};
        return std::vector<std::uint8_t>(m_bytes.begin() + long(at), m_bytes.begin() + long(at + count));
    }

private:
    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_offset = 0;
    bool m_good = true;
};

PsTerminologyParameter ReadParameter(CCursor& in)
{
    PsTerminologyParameter parameter;
    parameter.name = in.Pascal();
    parameter.key = in.U32();
    parameter.type = in.U32();
    parameter.description = in.Pascal();
    parameter.flags = in.U16();
    return parameter;
}

bool ReadEvent(CCursor& in, PsTerminologyEvent* event)
{
    event->name = in.Pascal();
    event->description = in.Pascal();
    event->eventClass = in.U32();
    event->eventId = in.U32();
    in.U32();    // reply type
    in.Pascal(); // reply description
    in.U16();    // reply flags
    in.U32();    // direct parameter type
    in.Pascal(); // its description
    in.U16();    // its flags
    const std::uint16_t count = in.U16();
    for (std::uint16_t i = 0; i < count && in.Good(); ++i)
        event->parameters.push_back(ReadParameter(in));
    return in.Good();
}

bool ReadEnumeration(CCursor& in, PsTerminologyEnumeration* enumeration)
{
    enumeration->id = in.U32();
    const std::uint16_t count = in.U16();
    for (std::uint16_t i = 0; i < count && in.Good(); ++i) {
        PsTerminologyEnumerator enumerator;
        enumerator.name = in.Pascal();
        enumerator.code = in.U32();
        enumerator.description = in.Pascal();
        enumeration->enumerators.push_back(enumerator);
    }
    return in.Good();
}

bool ReadSuite(CCursor& in, PsTerminologySuite* suite)
{
    suite->name = in.Pascal();
    suite->description = in.Pascal();
    suite->id = in.U32();
    suite->level = in.U16();
    suite->version = in.U16();
    const std::uint16_t events = in.U16();
    for (std::uint16_t i = 0; i < events && in.Good(); ++i) {
        PsTerminologyEvent event;
        if (ReadEvent(in, &event))
            suite->events.push_back(event);
    }
    in.U16(); // classes: none
    in.U16(); // comparison operators: none
    const std::uint16_t enumerations = in.U16();
    for (std::uint16_t i = 0; i < enumerations && in.Good(); ++i) {
        PsTerminologyEnumeration enumeration;
        if (ReadEnumeration(in, &enumeration))
            suite->enumerations.push_back(enumeration);
    }
    return in.Good();
}

} // namespace

bool PsReadResource(HMODULE module, const char* type, int id, std::vector<std::uint8_t>* bytes)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!data)
        return false;
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes->assign(first, first + size);
    return true;
}

bool PsParsePropertyList(const std::vector<std::uint8_t>& resource, std::vector<PsProperty>* properties)
{
    CCursor in(resource);
    in.Skip(kPsPiplSkip);
    in.U32(); // version
    const std::uint32_t count = in.U32();
    properties->clear();
    for (std::uint32_t i = 0; i < count && in.Good(); ++i) {
        PsProperty property;
        property.vendor = in.U32();
        property.key = in.U32();
        property.id = std::int32_t(in.U32());
        const std::uint32_t length = in.U32();
        property.data = in.Bytes(length);
        in.Skip((4 - length % 4) % 4);
        if (in.Good())
            properties->push_back(property);
    }
    return in.Good();
}

std::string PsPropertyText(const PsProperty& property)
{
    const char* text = reinterpret_cast<const char*>(property.data.data());
    return std::string(text, strnlen(text, property.data.size()));
}

bool PsParseTerminology(const std::vector<std::uint8_t>& resource, PsTerminology* terminology)
{
    CCursor in(resource);
    terminology->minorVersion = std::uint8_t(in.Word(1));
    terminology->majorVersion = std::uint8_t(in.Word(1));
    terminology->language = in.U16();
    terminology->script = in.U16();
    const std::uint16_t suites = in.U16();
    terminology->suites.clear();
    for (std::uint16_t i = 0; i < suites && in.Good(); ++i) {
        PsTerminologySuite suite;
        if (ReadSuite(in, &suite))
            terminology->suites.push_back(suite);
    }
    return in.Good();
}
