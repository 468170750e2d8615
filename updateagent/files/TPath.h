// A path value: empty (kind -1) or a local file-system path (kind 0).
#pragma once

#include "base/TWideString.h"

class TPath {
public:
    static constexpr int kEmpty = -1;
    static constexpr int kLocal = 0;

    TPath() = default;
    explicit TPath(const TWideString& text) { Set(text); }

    void Set(const TWideString& text)
    {
        m_kind = kLocal;
        m_text = text;
    }
    int Kind() const { return m_kind; }
    // The text of a local path; empty for any other kind.
    TWideString Text() const { return m_kind == kLocal ? m_text : TWideString(); }

private:
    int m_kind = kEmpty;
    TWideString m_text;
};
