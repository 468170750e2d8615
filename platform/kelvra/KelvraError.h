// Error chains of the imaging framework. Every failure inside the imaging
// code is an error object; a null pointer means success. Each layer that
// passes an error on wraps it with its own four-character tag and source
// line, so a chain reads from the outermost caller down to the cause.
#pragma once

#include <cstdint>

// Four-character tags and codes, most significant byte first ('Mixr').
using KelvraTag = std::uint32_t;

constexpr KelvraTag KelvraFourCC(char a, char b, char c, char d)
{
    return (KelvraTag(std::uint8_t(a)) << 24) | (KelvraTag(std::uint8_t(b)) << 16) |
           (KelvraTag(std::uint8_t(c)) << 8) | KelvraTag(std::uint8_t(d));
}

// Error categories: 0 the framework, 1 the operating system, 2 the
// application; any other value is a four-character library tag ('zlib').
enum : std::uint32_t {
    kKelvraCategoryKelvra = 0,
    kKelvraCategoryOS = 1,
    kKelvraCategoryApp = 2,
};

// Codes the framework itself reports.
enum : long {
    kKelvraTextError = -1,          // the error carries a text instead of a code
    kKelvraOutOfMemory = 1005,
    kKelvraWriteError = 1006,
    kKelvraOperationFailed = 1007,
    kKelvraBadArgument = 1008,
    kKelvraUnsupportedFormat = 1010,
    kKelvraNotReady = 1013,
    kKelvraMissingObject = 1014,
    kKelvraCancelled = 1100,
};

class IKelvraError {
public:
    // Appends a new error (tag may be 0 for none) to `chain` and returns the
    // chain's head: `chain` itself, or the new error when `chain` is null.
    // When memory runs out, the shared out-of-memory error (code 1005) ends
    // the chain instead; it always stays last, so a chain that is only that
    // error gets a new head.
    static IKelvraError* Add(IKelvraError* chain, KelvraTag tag, long line, std::uint32_t category, long code);
    // The same with a text; its code reads kKelvraTextError (1005 when the
    // text could not be copied).
    static IKelvraError* Add(IKelvraError* chain, KelvraTag tag, long line, const char* text);
    // Wraps `inner` (an error a call returned) in a new error of this layer
    // and appends that to `chain`. A null `inner` adds nothing and returns
    // `chain`.
    static IKelvraError* AddWorker(IKelvraError* chain, KelvraTag tag, long line, IKelvraError* inner);

    // Frees this error, the errors after it and everything they wrap.
    // Null-safe through the static form.
    void Release();
    static void Release(IKelvraError* chain);

    long GetCode() const { return m_code; }
    std::uint32_t GetCategory() const { return m_category; }
    // Empty for errors that carry a code.
    const char* GetText() const { return m_text ? m_text : ""; }
    KelvraTag GetTag() const { return m_tag; }
    long GetLine() const { return m_line; }
    // The error this one wraps, or null.
    IKelvraError* GetInner() const { return m_inner; }
    // The next error of the same chain, or null.
    IKelvraError* GetNext() const { return m_next; }

    // True when this error, any error after it, or any error they wrap
    // carries `code`.
    bool HasCode(long code) const;
    // The first error with a code (not a wrapper, not a text), searching
    // depth first; null when there is none.
    const IKelvraError* FindCause() const;

    // Errors alive now, the shared out-of-memory error not counted; lets
    // tests see that releasing a chain frees every error in it.
    static long LiveCount();

    IKelvraError(const IKelvraError&) = delete;
    IKelvraError& operator=(const IKelvraError&) = delete;

private:
    IKelvraError(KelvraTag tag, long line, std::uint32_t category, long code, bool shared = false);
    ~IKelvraError();
    static IKelvraError* Append(IKelvraError* chain, IKelvraError* errors);
    static IKelvraError** EndLink(IKelvraError** link);
    static IKelvraError* OutOfMemory();

    KelvraTag m_tag;
    long m_line;
    std::uint32_t m_category;
    long m_code;
    char* m_text = nullptr;
    IKelvraError* m_inner = nullptr;
    IKelvraError* m_next = nullptr;
    bool m_static; // the shared out-of-memory error, never freed
};

// Convenience for the common "make an error here" call sites.
#define KELVRA_ERROR(chain, tag, code) IKelvraError::Add((chain), (tag), __LINE__, kKelvraCategoryKelvra, (code))
#define KELVRA_WRAP(chain, tag, inner) IKelvraError::AddWorker((chain), (tag), __LINE__, (inner))
