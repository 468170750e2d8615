#include "kelvra/KelvraError.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {
std::atomic<long> g_liveErrors{0};
}

IKelvraError::IKelvraError(KelvraTag tag, long line, std::uint32_t category, long code, bool shared)
    : m_tag(tag), m_line(line), m_category(category), m_code(code), m_static(shared)
{
    if (!m_static)
        ++g_liveErrors;
}

IKelvraError::~IKelvraError()
{
    delete[] m_text;
    if (!m_static)
        --g_liveErrors;
}

long IKelvraError::LiveCount()
{
    return g_liveErrors;
}

// When memory runs out while reporting, this shared error stands in. It may
// end several chains at once, so it never gets a next error and is never freed.
IKelvraError* IKelvraError::OutOfMemory()
{
    static IKelvraError error(0, 0, kKelvraCategoryKelvra, kKelvraOutOfMemory, true);
    return &error;
}

// The link that ends the chain starting at `*link`: the null after its last
// error, or the link to the shared error, which stays last.
IKelvraError** IKelvraError::EndLink(IKelvraError** link)
{
    while (*link && !(*link)->m_static)
        link = &(*link)->m_next;
    return link;
}

// Joins `errors` (one error or a whole chain) to the end of `chain`. The
// shared error, which either may end with, is kept once, at the very end, and
// its own next link is never written.
IKelvraError* IKelvraError::Append(IKelvraError* chain, IKelvraError* errors)
{
    IKelvraError* head = chain;
    IKelvraError** end = EndLink(&head);
    IKelvraError* shared = *end;
    *end = errors;
    IKelvraError** errorsEnd = EndLink(end);
    if (!*errorsEnd)
        *errorsEnd = shared;
    return head;
}

IKelvraError* IKelvraError::Add(IKelvraError* chain, KelvraTag tag, long line, std::uint32_t category, long code)
{
    IKelvraError* error = new (std::nothrow) IKelvraError(tag, line, category, code);
    return Append(chain, error ? error : OutOfMemory());
}

IKelvraError* IKelvraError::Add(IKelvraError* chain, KelvraTag tag, long line, const char* text)
{
    IKelvraError* error = new (std::nothrow) IKelvraError(tag, line, kKelvraCategoryKelvra, kKelvraTextError);
    if (!error)
        return Append(chain, OutOfMemory());
    const std::size_t length = text ? std::strlen(text) : 0;
    error->m_text = new (std::nothrow) char[length + 1];
    if (error->m_text) {
        if (length)
            std::memcpy(error->m_text, text, length);
        error->m_text[length] = '\0';
    } else { // a text error without its text would say nothing
        error->m_code = kKelvraOutOfMemory;
    }
    return Append(chain, error);
}

IKelvraError* IKelvraError::AddWorker(IKelvraError* chain, KelvraTag tag, long line, IKelvraError* inner)
{
    if (!inner)
        return chain;
    IKelvraError* error = new (std::nothrow) IKelvraError(tag, line, kKelvraCategoryKelvra, 0);
    if (!error) // keep the cause rather than lose it
        return Append(chain, inner);
    error->m_inner = inner;
    return Append(chain, error);
}

void IKelvraError::Release()
{
    IKelvraError* error = this;
    while (error && !error->m_static) {
        IKelvraError* next = error->m_next;
        Release(error->m_inner);
        delete error;
        error = next;
    }
}

void IKelvraError::Release(IKelvraError* chain)
{
    if (chain)
        chain->Release();
}

bool IKelvraError::HasCode(long code) const
{
    for (const IKelvraError* error = this; error; error = error->m_next) {
        if ((error->m_code == code && !error->m_inner) || (error->m_inner && error->m_inner->HasCode(code)))
            return true;
    }
    return false;
}

const IKelvraError* IKelvraError::FindCause() const
{
    for (const IKelvraError* error = this; error; error = error->m_next) {
        if (error->m_inner) {
            if (const IKelvraError* cause = error->m_inner->FindCause())
                return cause;
        } else if (error->m_code != kKelvraTextError) {
            return error;
        }
    }
    return nullptr;
}
