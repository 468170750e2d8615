// Copy-on-write string over TStringBuffer, shared by TWideString and
// TAnsiString. Buffers may be shared between threads: counts change only by
// interlocked operations and a shared buffer is never written.
#pragma once

#include "base/TStringBuffer.h"

#include <cstring>
#include <cwchar>

template <class Ch, class Derived>
class TStringCore {
public:
    TStringCore() : m_chars(Buffer::Empty()) {}
    TStringCore(const Ch* text) : m_chars(Buffer::Empty()) { Assign(text, Measure(text)); }
    TStringCore(const Ch* text, int count) : m_chars(Buffer::Empty()) { Assign(text, count); }
    TStringCore(const TStringCore& other) : m_chars(Buffer::Empty()) { ShareFrom(other.m_chars); }
    ~TStringCore() { Buffer::Release(m_chars); }

    TStringCore& operator=(const TStringCore& other)
    {
        AssignString(other.m_chars);
        return *this;
    }

    int Length() const { return Header()->length; }
    bool IsEmpty() const { return Length() == 0; }
    const Ch* Text() const { return m_chars; }
    Ch At(int index) const { return m_chars[index]; }
    // The count of the buffer this string holds (tests and diagnostics).
    long BufferRefCount() const { return Header()->refCount; }

    void SetAt(int index, Ch ch)
    {
        MakePrivate();
        m_chars[index] = ch;
    }

    void Assign(const Ch* text, int count)
    {
        if (count <= 0) {
            Empty();
            return;
        }
        Ch* target = PrepareStore(count);
        std::memmove(target, text, count * sizeof(Ch));
        SetLength(count);
    }

    void Append(const Ch* text, int count)
    {
        if (count <= 0)
            return;
        const int length = Length();
        TStringHeader* header = Header();
        if (!Buffer::IsEmptyBuffer(m_chars) && header->refCount <= 1 && header->capacity >= length + count) {
            std::memcpy(m_chars + length, text, count * sizeof(Ch));
            SetLength(length + count);
            return;
        }
        Ch* grown = Buffer::Allocate(length + count);
        std::memcpy(grown, m_chars, length * sizeof(Ch));
        std::memcpy(grown + length, text, count * sizeof(Ch));
        Buffer::Release(m_chars);
        m_chars = grown;
    }
    void Append(const Ch* text) { Append(text, Measure(text)); }
    void Append(const TStringCore& other) { Append(other.m_chars, other.Length()); }
    Derived& operator+=(const TStringCore& other) { Append(other); return Self(); }
    Derived& operator+=(const Ch* text) { Append(text); return Self(); }
    Derived& operator+=(Ch ch) { Append(&ch, 1); return Self(); }

    friend Derived operator+(const Derived& left, const Derived& right) { return Joined(left, right.m_chars, right.Length()); }
    friend Derived operator+(const Derived& left, const Ch* right) { return Joined(left, right, Measure(right)); }
    friend Derived operator+(const Derived& left, Ch right) { return Joined(left, &right, 1); }

    // The first n characters; the string itself, shared, when n covers it.
    Derived Left(int count) const { return Mid(0, count); }

    // count characters from start; negative values count as 0 and the count
    // is cut at the end. The whole string is shared, not copied.
    Derived Mid(int start, int count) const
    {
        const int length = Length();
        if (start < 0)
            start = 0;
        if (count < 0)
            count = 0;
        if (start > length)
            start = length;
        if (count > length - start)
            count = length - start;
        if (start == 0 && count == length)
            return Derived(Self());
        return Derived(m_chars + start, count);
    }

    // Index of the last ch at or before `fromEnd` characters before the end, or -1.
    int ReverseFind(Ch ch, int fromEnd = 0) const
    {
        for (int i = Length() - 1 - fromEnd; i >= 0; --i) {
            if (m_chars[i] == ch)
                return i;
        }
        return -1;
    }

    void Empty()
    {
        if (Length() == 0)
            return;
        if (Header()->refCount < 0) {
            m_chars[0] = 0;
            Header()->length = 0;
            return;
        }
        Buffer::Release(m_chars);
        m_chars = Buffer::Empty();
    }

    // Room for at least minLength characters to write directly; the buffer
    // may not be shared until ReleaseBuffer.
    Ch* GetBuffer(int minLength)
    {
        MakePrivate();
        // The shared empty buffer is never marked; a zero-length request may keep it.
        if (Buffer::IsEmptyBuffer(m_chars) && minLength <= 0)
            return m_chars;
        if (Header()->capacity < minLength || Buffer::IsEmptyBuffer(m_chars)) {
            const int length = Length();
            Ch* grown = Buffer::Allocate(minLength > length ? minLength : length);
            std::memcpy(grown, m_chars, (length + 1) * sizeof(Ch));
            Buffer::Release(m_chars);
            m_chars = grown;
            Header()->length = length;
        }
        Header()->refCount = -1;
        return m_chars;
    }

    // Ends a GetBuffer; a length of -1 takes the text up to its terminator.
    void ReleaseBuffer(int length = -1)
    {
        if (Buffer::IsEmptyBuffer(m_chars))
            return;
        if (length < 0)
            length = Measure(m_chars);
        if (length > Header()->capacity)
            length = Header()->capacity;
        Header()->refCount = 1;
        SetLength(length);
    }

protected:
    using Buffer = TStringBuffer<Ch>;

    static int Measure(const Ch* text)
    {
        if (!text)
            return 0;
        int n = 0;
        while (text[n])
            ++n;
        return n;
    }

    TStringHeader* Header() const { return Buffer::HeaderOf(m_chars); }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
    const Derived& Self() const { return static_cast<const Derived&>(*this); }

    static Derived Joined(const Derived& left, const Ch* right, int count)
    {
        const int length = left.Length();
        Derived result;
        if (length + count == 0)
            return result;
        Ch* chars = Buffer::Allocate(length + count);
        std::memcpy(chars, left.m_chars, length * sizeof(Ch));
        std::memcpy(chars + length, right, count * sizeof(Ch));
        result.m_chars = chars;
        return result;
    }

    // Copying: a buffer that may not be shared is copied, any other shared.
    void ShareFrom(Ch* source)
    {
        if (Buffer::HeaderOf(source)->refCount < 0 && !Buffer::IsEmptyBuffer(source)) {
            Assign(source, Buffer::HeaderOf(source)->length);
            return;
        }
        Buffer::AddRef(source);
        Buffer::Release(m_chars);
        m_chars = source;
    }

    void AssignString(Ch* source)
    {
        if (source == m_chars)
            return;
        const bool targetLocked = Header()->refCount < 0 && !Buffer::IsEmptyBuffer(m_chars);
        const bool sourceLocked = Buffer::HeaderOf(source)->refCount < 0 && !Buffer::IsEmptyBuffer(source);
        if (targetLocked || sourceLocked) {
            Assign(source, Buffer::HeaderOf(source)->length);
            return;
        }
        ShareFrom(source);
    }

    // Before a character changes: a shared buffer becomes a private copy.
    void MakePrivate()
    {
        if (Header()->refCount < 2)
            return;
        const int length = Length();
        Ch* copy = Buffer::Allocate(length);
        std::memcpy(copy, m_chars, length * sizeof(Ch));
        Buffer::Release(m_chars);
        m_chars = copy;
    }

    // Room for n characters: a shared or too small buffer is replaced by a
    // new one of exactly n; the text it held is not kept.
    Ch* PrepareStore(int count)
    {
        TStringHeader* header = Header();
        if (Buffer::IsEmptyBuffer(m_chars) || header->refCount > 1 || header->capacity < count) {
            Buffer::Release(m_chars);
            m_chars = Buffer::Allocate(count);
        }
        return m_chars;
    }

    void SetLength(int length)
    {
        Header()->length = length;
        m_chars[length] = 0;
    }

    Ch* m_chars;
};
