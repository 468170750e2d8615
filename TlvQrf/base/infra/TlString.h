// The library's small byte string: a heap buffer that always holds a
// zero-terminated text and grows but never shrinks.
#pragma once

class CTlString;

// Text operations over storage that a derived class provides. Every
// operation that writes first grows the buffer and then checks the capacity
// it really got, so a buffer that cannot grow leaves the text unchanged.
class CTlStringBase {
public:
    virtual ~CTlStringBase();

    // Index of the first zero byte within the capacity; 0 when there is none.
    virtual int GetLength() const;
    // Makes a new buffer of at least `size` bytes the string's buffer and
    // returns it, without freeing the old one; null when allocation fails.
    virtual char* Allocate(int size) = 0;
    virtual void Free(char* buffer) = 0;
    // Grows the buffer to at least `size` bytes, keeping its bytes.
    virtual void Reserve(int size) = 0;
    virtual int GetCapacity() const = 0;
    virtual char* GetData() const = 0;
    // The most bytes the buffer can ever hold; -1 when it grows on demand.
    virtual int GetCapacityLimit() const = 0;

    bool IsEmpty() const;
    // Address of byte `index` after reserving index + 1 bytes, so the byte
    // is inside the buffer; null for a negative index or when it cannot grow.
    char* CharAt(int index);

    // Case-blind comparison. n = -1: the whole texts, of equal length.
    // n >= 0: the string holds at least n bytes and its first n match.
    bool EqualsNoCase(const char* text, int n = -1) const;
    bool EqualsNoCase(const CTlStringBase& other, int n = -1) const;

    // `count` bytes from `start` into `out`; nothing when start lies beyond
    // the length. A negative count, or one reaching past the end, takes the
    // rest of the text.
    void Mid(CTlString& out, int start, int count) const;
    void Left(CTlString& out, int count) const;

    // Takes a length byte followed by that many bytes; returns the data, or
    // null when `bytes` is null or the buffer cannot grow.
    char* SetLengthPrefixed(const unsigned char* bytes);
    // The same for bytes read from outside: null, and the text unchanged,
    // when the length byte claims more than the `available` bytes hold.
    char* SetLengthPrefixed(const unsigned char* bytes, int available);
    // Writes the length (at most 255) and that many bytes, no zero byte.
    void GetLengthPrefixed(unsigned char* out) const;

    // Replaces the text; a null text counts as empty. False (text
    // unchanged) when the buffer cannot grow.
    bool Assign(const char* text);
    // Adds `count` bytes of `text` after the current text.
    bool Append(const char* text, int count);

protected:
    CTlStringBase() = default;
    CTlStringBase(const CTlStringBase&) = default;
    CTlStringBase& operator=(const CTlStringBase&) = default;

    // Copies `count` bytes to byte `offset`, growing the buffer first; with
    // `terminate` a zero byte follows them. `bytes` may lie in this buffer.
    bool StoreAt(int offset, const char* bytes, int count, bool terminate);
};

class CTlString : public CTlStringBase {
public:
    CTlString();
    CTlString(const char* text);
    CTlString(const CTlString& other);
    ~CTlString() override;

    // Reserves strlen + 1 bytes and copies the text with its zero byte.
    CTlString& operator=(const char* text);
    // Reserves the other's capacity and copies its whole buffer.
    CTlString& operator=(const CTlString& other);

    using CTlStringBase::Left;
    CTlString Left(int count) const;

    char* Allocate(int size) override;
    void Free(char* buffer) override;
    void Reserve(int size) override;
    int GetCapacity() const override;
    // Never null: a string whose first allocation failed reads as empty.
    char* GetData() const override;
    int GetCapacityLimit() const override;

private:
    int m_capacity = 0;
    char* m_buffer = nullptr;
};
