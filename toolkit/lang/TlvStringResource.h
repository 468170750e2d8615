// A text by string id: from the language library, or from the module's own
// string table when no language library is loaded or it lacks that id (a
// plug-in keeps its registry strings in its own file).
#pragma once

#include "lang/TlvLangResource.h"

#include <string>

class CTlvStringResource {
public:
    // `language` may be null. An id found nowhere gives an empty text.
    CTlvStringResource(const CTlvLangResource* language, UINT id) noexcept;

    bool Found() const { return m_found; }
    const std::string& Text() const { return m_text; }
    const char* c_str() const { return m_text.c_str(); }

private:
    std::string m_text;
    bool m_found = false;
};
