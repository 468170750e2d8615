// What the JPEG codec needs around the system imaging codecs: COM set up on
// the calling thread, COM pointers released on every path, failed calls
// turned into error chains. Private to the JPEG codec.
#pragma once

#include "PellioJpegSegments.h"

#include <windows.h>
#include <wincodec.h>

// Holds one reference and releases it when it goes.
template <typename T>
class PellioComPtr {
public:
    PellioComPtr() = default;
    ~PellioComPtr() { Reset(); }
    PellioComPtr(const PellioComPtr&) = delete;
    PellioComPtr& operator=(const PellioComPtr&) = delete;

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    // For a call that hands back a new reference; drops the one held.
    T** Out()
    {
        Reset();
        return &m_pointer;
    }
    void Reset()
    {
        if (m_pointer)
            m_pointer->Release();
        m_pointer = nullptr;
    }

private:
    T* m_pointer = nullptr;
};

// Initialises COM on this thread for the object's life unless the thread
// already has it (in any apartment, which the imaging factory accepts).
class PellioComScope {
public:
    PellioComScope() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~PellioComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    PellioComScope(const PellioComScope&) = delete;
    PellioComScope& operator=(const PellioComScope&) = delete;

    // A failure only when COM cannot be used on this thread at all.
    HRESULT Result() const { return m_result == RPC_E_CHANGED_MODE ? S_OK : m_result; }

private:
    HRESULT m_result;
};

// The chain for a failed system call: `code` (1005 instead when the call ran
// out of memory) followed by a wrapped error of the OS category whose code
// is the HRESULT.
IKelvraError* PellioWicError(long line, HRESULT result, long code = kKelvraOperationFailed);

// Returns the error chain from the calling function when `call` fails.
#define PELLIO_WIC_CALL(call)                                                                                          \
    do {                                                                                                               \
        const HRESULT pellioResult_ = (call);                                                                          \
        if (FAILED(pellioResult_))                                                                                     \
            return PellioWicError(__LINE__, pellioResult_);                                                            \
    } while (0)

// COM on this thread and the imaging factory, for one codec call. Declare
// it before the call's other COM pointers so that it ends after them.
class PellioWicSession {
public:
    PellioWicSession() = default;
    PellioWicSession(const PellioWicSession&) = delete;
    PellioWicSession& operator=(const PellioWicSession&) = delete;

    IKelvraError* Open();
    IWICImagingFactory* operator->() const { return m_factory.Get(); }

private:
    PellioComScope m_com; // first, so it ends last
    PellioComPtr<IWICImagingFactory> m_factory;
};

// Copies `pixels` three-byte pixels, exchanging the first and third byte of
// each (RGB to BGR and back); `from` and `to` may be the same.
void PellioSwapRedBlue(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels);
