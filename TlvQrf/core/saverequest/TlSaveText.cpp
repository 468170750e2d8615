#include "saverequest/TlSaveText.h"

#include <cstring>
#include <new>

CTlSaveText::CTlSaveText()
{
    m_text.buffer[0] = '\0';
}

CTlSaveText::CTlSaveText(const char* text) : CTlSaveText()
{
    Assign(text);
}

CTlSaveText::CTlSaveText(const CTlSaveText& other) : CTlSaveText()
{
    Assign(other.c_str());
}

CTlSaveText& CTlSaveText::operator=(const CTlSaveText& other)
{
    if (this != &other)
        Assign(other.c_str());
    return *this;
}

CTlSaveText::~CTlSaveText()
{
    Free();
}

bool CTlSaveText::Assign(const char* text)
{
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length <= m_capacity) {
        // memmove: `text` may lie inside this text.
        if (length != 0)
            std::memmove(Data(), text, length);
        Data()[length] = '\0';
        m_size = length;
        return true;
    }
    char* grown = new (std::nothrow) char[length + 1];
    if (grown == nullptr) {
        Free();
        return false;
    }
    std::memcpy(grown, text, length + 1);
    Free();
    m_text.pointer = grown;
    m_size = length;
    m_capacity = length;
    return true;
}

const char* CTlSaveText::c_str() const
{
    return IsInPlace() ? m_text.buffer : m_text.pointer;
}

char* CTlSaveText::Data()
{
    return IsInPlace() ? m_text.buffer : m_text.pointer;
}

void CTlSaveText::Free()
{
    if (!IsInPlace())
        delete[] m_text.pointer;
    m_text.buffer[0] = '\0';
    m_size = 0;
    m_capacity = kInPlace - 1;
}
