// A task for a worker thread. Ordinary tasks have code -1; the stop task
// has kStopCode. Derived records add their own fields.
#pragma once

#include "base/TBaseObject.h"

#include <windows.h>

class TThreadQueueData : public TBaseObject {
public:
    static constexpr int kOrdinaryCode = -1;
    static constexpr int kStopCode = 0x805A;

    TThreadQueueData();
    explicit TThreadQueueData(int code);

    LONG Serial() const { return m_serial; }
    int Code() const { return m_code; }
    void* Owner() const { return m_owner; }
    void SetOwner(void* owner) { m_owner = owner; }
    void* Context() const { return m_context; }
    void SetContext(void* context) { m_context = context; }

private:
    LONG m_serial;
    int m_code;
    void* m_owner = nullptr;
    void* m_context = nullptr;
    LONG m_reserved1 = -1;
    LONG m_reserved2 = -1;
};
