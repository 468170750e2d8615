// The raw-image library's save road as a host drives it: the library started
// with an imaging manager, one saver that queues a save request and is
// polled until its worker is done, then the library closed again. The
// develop command and the host's renditions of raw items share it.
#pragma once

#include <cstdint>

class IKelvraError;
class IKelvraManager;

// What the caller hears while a save runs, and how it stops one.
class ITlDevelopWatcher {
public:
    virtual void OnProgress(long done, long total) = 0;
    // True once the save should be aborted; it then reports cancellation.
    virtual bool IsStopAsked() = 0;

protected:
    ~ITlDevelopWatcher() = default;
};

class CTlRawDevelop {
public:
    CTlRawDevelop() = default;
    ~CTlRawDevelop();
    CTlRawDevelop(const CTlRawDevelop&) = delete;
    CTlRawDevelop& operator=(const CTlRawDevelop&) = delete;

    // Starts the library with `manager` (the session's own when null). 0, or
    // the result code of the failed start (0x1008: a working profile is
    // missing from the profiles folder). The library is closed again with
    // the session, also after a failed start.
    unsigned long Start(IKelvraManager* manager = nullptr);
    bool IsStarted() const { return m_started; }

    // Saves `input` with its stored settings (or the neutral ones) into
    // `output` (`fileFormat` the saver's format code, `pixelFormat` the save
    // record's word). The record's result, or SaveImage's failure code when
    // nothing was queued. A failed save's error chain goes to `*error` (null
    // when it left none); the caller releases it.
    unsigned long Develop(const char* input, const char* output, std::uint32_t fileFormat,
                          std::uint32_t pixelFormat, ITlDevelopWatcher& watcher, IKelvraError** error);

private:
    IKelvraManager* m_ownManager = nullptr;
    bool m_started = false;
};
