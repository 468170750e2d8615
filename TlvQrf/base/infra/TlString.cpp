#include "infra/TlString.h"

#include <climits>
#include <cstring>
#include <functional>
#include <new>

namespace {

const int kMinimumCapacity = 4;
const int kLengthPrefixLimit = 255;

// Read by a string that holds no buffer; its capacity of 0 keeps every
// writer away from it.
char g_noBuffer[1] = {'\0'};

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameBytesNoCase(const char* a, const char* b, int count)
{
    for (int i = 0; i < count; ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

// Compares a string of `length` bytes with a text of `textLength` bytes.
bool MatchesNoCase(const char* data, int length, const char* text, int textLength, int n)
{
    if (n < 0) {
        if (length != textLength)
            return false;
        n = length;
    } else if (length < n || textLength < n) {
        return false;
    }
    return SameBytesNoCase(data, text, n);
}

bool PointsInto(const char* pointer, const char* buffer, int capacity)
{
    const std::less_equal<const char*> notAfter;
    const std::less<const char*> before;
    return notAfter(buffer, pointer) && before(pointer, buffer + capacity);
}

int BoundedLength(const char* text)
{
    const std::size_t length = std::strlen(text);
    return length < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(length) : -1;
}

} // namespace

CTlStringBase::~CTlStringBase() = default;

int CTlStringBase::GetLength() const
{
    const char* data = GetData();
    const int capacity = GetCapacity();
    if (!data || capacity <= 0)
        return 0;
    const void* zero = std::memchr(data, '\0', static_cast<std::size_t>(capacity));
    return zero ? static_cast<int>(static_cast<const char*>(zero) - data) : 0;
}

bool CTlStringBase::IsEmpty() const
{
    return GetCapacity() <= 0 || GetData()[0] == '\0';
}

char* CTlStringBase::CharAt(int index)
{
    if (index < 0 || index == INT_MAX)
        return nullptr;
    Reserve(index + 1);
    return GetCapacity() > index ? GetData() + index : nullptr;
}

bool CTlStringBase::EqualsNoCase(const char* text, int n) const
{
    if (!text)
        return false;
    const int textLength = BoundedLength(text);
    return textLength >= 0 && MatchesNoCase(GetData(), GetLength(), text, textLength, n);
}

bool CTlStringBase::EqualsNoCase(const CTlStringBase& other, int n) const
{
    // The other's own length bounds the read, whatever lies in its buffer.
    return MatchesNoCase(GetData(), GetLength(), other.GetData(), other.GetLength(), n);
}

void CTlStringBase::Mid(CTlString& out, int start, int count) const
{
    const int length = GetLength();
    if (start < 0 || start > length)
        return;
    const int available = length - start;
    if (count < 0 || count > available)
        count = available;
    out.StoreAt(0, GetData() + start, count, true);
}

void CTlStringBase::Left(CTlString& out, int count) const
{
    Mid(out, 0, count);
}

char* CTlStringBase::SetLengthPrefixed(const unsigned char* bytes)
{
    if (!bytes)
        return nullptr;
    return StoreAt(0, reinterpret_cast<const char*>(bytes + 1), bytes[0], true) ? GetData() : nullptr;
}

char* CTlStringBase::SetLengthPrefixed(const unsigned char* bytes, int available)
{
    if (!bytes || available < 1 || bytes[0] > available - 1)
        return nullptr;
    return SetLengthPrefixed(bytes);
}

void CTlStringBase::GetLengthPrefixed(unsigned char* out) const
{
    if (!out)
        return;
    const int length = GetLength();
    const int count = length < kLengthPrefixLimit ? length : kLengthPrefixLimit;
    out[0] = static_cast<unsigned char>(count);
    if (count > 0)
        std::memcpy(out + 1, GetData(), static_cast<std::size_t>(count));
}

bool CTlStringBase::Assign(const char* text)
{
    if (!text)
        return StoreAt(0, "", 0, true);
    const int length = BoundedLength(text);
    return length >= 0 && StoreAt(0, text, length, true);
}

bool CTlStringBase::Append(const char* text, int count)
{
    if (count < 0 || (!text && count > 0))
        return false;
    return StoreAt(GetLength(), text, count, true);
}

bool CTlStringBase::StoreAt(int offset, const char* bytes, int count, bool terminate)
{
    const long long needed = static_cast<long long>(offset) + count + (terminate ? 1 : 0);
    if (offset < 0 || count < 0 || needed > INT_MAX)
        return false;
    // Growing moves the buffer; a source inside it moves along.
    const bool inside = count > 0 && PointsInto(bytes, GetData(), GetCapacity());
    const long long sourceOffset = inside ? bytes - GetData() : 0;
    Reserve(static_cast<int>(needed));
    if (GetCapacity() < needed)
        return false;
    char* data = GetData();
    if (count > 0)
        std::memmove(data + offset, inside ? data + sourceOffset : bytes, static_cast<std::size_t>(count));
    if (terminate)
        data[offset + count] = '\0';
    return true;
}

CTlString::CTlString()
{
    Allocate(kMinimumCapacity);
}

CTlString::CTlString(const char* text) : CTlString()
{
    Assign(text);
}

CTlString::CTlString(const CTlString& other) : CTlString()
{
    *this = other;
}

CTlString::~CTlString()
{
    Free(m_buffer);
}

CTlString& CTlString::operator=(const char* text)
{
    Assign(text);
    return *this;
}

CTlString& CTlString::operator=(const CTlString& other)
{
    if (this == &other)
        return *this;
    // A source without a buffer reads as empty.
    if (other.GetCapacity() == 0)
        Assign("");
    else
        StoreAt(0, other.GetData(), other.GetCapacity(), false);
    return *this;
}

CTlString CTlString::Left(int count) const
{
    CTlString left;
    Left(left, count);
    return left;
}

char* CTlString::Allocate(int size)
{
    if (size < kMinimumCapacity)
        size = kMinimumCapacity;
    // Zeroed, so that the bytes beyond a copied text read as its end.
    char* buffer = new (std::nothrow) char[static_cast<std::size_t>(size)]();
    if (!buffer)
        return nullptr;
    m_buffer = buffer;
    m_capacity = size;
    return buffer;
}

void CTlString::Free(char* buffer)
{
    delete[] buffer;
}

void CTlString::Reserve(int size)
{
    if (m_capacity >= size)
        return;
    char* old = m_buffer;
    const int oldCapacity = m_capacity;
    char* fresh = Allocate(size);
    if (!fresh)
        return;
    if (old)
        std::memcpy(fresh, old, static_cast<std::size_t>(oldCapacity));
    Free(old);
}

int CTlString::GetCapacity() const
{
    return m_capacity;
}

char* CTlString::GetData() const
{
    return m_buffer ? m_buffer : g_noBuffer;
}

int CTlString::GetCapacityLimit() const
{
    return -1;
}
