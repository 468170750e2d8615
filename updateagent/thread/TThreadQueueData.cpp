#include "thread/TThreadQueueData.h"

#include <windows.h>

namespace {
// Tasks are made on more than one thread.
LONG NextSerial()
{
    static LONG counter = 0;
    return InterlockedIncrement(&counter);
}
}

TThreadQueueData::TThreadQueueData()
    : TThreadQueueData(kOrdinaryCode)
{
}

TThreadQueueData::TThreadQueueData(int code)
    : m_serial(NextSerial())
    , m_code(code)
{
}
