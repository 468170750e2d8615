// The resources a filter plug-in file describes itself by: the property
// list of type "PIPL" and the scripting resource of type "AETE", both of id
// 16000. Both are read byte by byte, little-endian, without alignment.
#pragma once

#include <cstdint>

constexpr int kPsResourceId = 16000;
// A PIPL resource starts with a reserved 16-bit word before its property list.
constexpr std::uint32_t kPsPiplSkip = 2;

// The property list: version and count, then the properties.
struct PsPropertyListHeader {
    std::int32_t version;
    std::int32_t count;
};

// One property: this 16-byte header, then `length` bytes of data padded to
// a multiple of 4.
struct PsPropertyHeader {
    std::uint32_t vendorId;
    std::uint32_t key;
    std::int32_t id;
    std::int32_t length;
};

constexpr std::uint32_t kPsVendorEditor = 0x3842494D; // '8BIM'
// Data: a length byte and the text.
constexpr std::uint32_t kPsPropertyName = 0x6E616D65;     // 'name'
constexpr std::uint32_t kPsPropertyCategory = 0x63617467; // 'catg'

// The scripting resource: this header, then the suites. A suite is its name
// and its description (each a length byte and the text), its id (4 bytes),
// its level and version (2 bytes each) and its event count (2 bytes), then
// its events. An event is its name and description (the same strings), its
// class (4 bytes) and its id (4 bytes).
struct PsScriptingHeader {
    std::uint16_t version;
    std::int16_t language;
    std::int16_t script;
    std::int16_t suiteCount;
};

static_assert(sizeof(PsPropertyListHeader) == 8, "property list header");
static_assert(sizeof(PsPropertyHeader) == 16, "property header");
static_assert(sizeof(PsScriptingHeader) == 8, "scripting header");
