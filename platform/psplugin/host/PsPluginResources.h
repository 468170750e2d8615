// What a plug-in file says of itself: its property list (PIPL 16000) and
// its scripting terminology (AETE 16000), read as the host reads them.
#pragma once

#include "psplugin/PsFormat.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct PsProperty {
    std::uint32_t vendor;
    std::uint32_t key;
    std::int32_t id;
    std::vector<std::uint8_t> data; // `length` bytes, without the padding
};

// The bytes of resource `id` of `type` in `module`; false when absent.
bool PsReadResource(HMODULE module, const char* type, int id, std::vector<std::uint8_t>* bytes);
// The properties of a PIPL resource in their order; false when malformed.
bool PsParsePropertyList(const std::vector<std::uint8_t>& resource, std::vector<PsProperty>* properties);
// The text of a property that holds a zero-terminated string ('wx86').
std::string PsPropertyText(const PsProperty& property);

struct PsTerminologyParameter {
    std::string name;
    PsKey key;
    PsKey type;
    std::string description;
    std::uint16_t flags;
};
struct PsTerminologyEvent {
    std::string name;
    std::string description;
    PsKey eventClass;
    PsKey eventId;
    std::vector<PsTerminologyParameter> parameters;
};
struct PsTerminologyEnumerator {
    std::string name;
    PsKey code;
    std::string description;
};
struct PsTerminologyEnumeration {
    PsKey id;
    std::vector<PsTerminologyEnumerator> enumerators;
};
struct PsTerminologySuite {
    std::string name;
    std::string description;
    PsKey id;
    std::uint16_t level;
    std::uint16_t version;
    std::vector<PsTerminologyEvent> events;
    std::vector<PsTerminologyEnumeration> enumerations;
};
struct PsTerminology {
    std::uint8_t majorVersion;
    std::uint8_t minorVersion;
    std::uint16_t language;
    std::uint16_t script;
    std::vector<PsTerminologySuite> suites;
};

// An AETE resource (layout in docs/image-editor-plugins.md); false when
// malformed.
bool PsParseTerminology(const std::vector<std::uint8_t>& resource, PsTerminology* terminology);
