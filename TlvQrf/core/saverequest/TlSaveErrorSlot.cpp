#include "saverequest/TlSaveErrorSlot.h"

#include "kelvra/KelvraError.h"

#include <new>

CSaveErrorSlot* CSaveErrorSlot::Create()
{
    return new (std::nothrow) CSaveErrorSlot;
}

CSaveErrorSlot::~CSaveErrorSlot()
{
    IKelvraError::Release(m_chain);
}

void CSaveErrorSlot::AddRef()
{
    ++m_references;
}

void CSaveErrorSlot::Release()
{
    if (--m_references == 0)
        delete this;
}

void CSaveErrorSlot::Put(IKelvraError* chain)
{
    IKelvraError* previous = nullptr;
    {
        const Tl::CSyncLock guard(m_lock);
        previous = m_chain;
        m_chain = chain;
    }
    IKelvraError::Release(previous);
}

IKelvraError* CSaveErrorSlot::Take()
{
    const Tl::CSyncLock guard(m_lock);
    IKelvraError* chain = m_chain;
    m_chain = nullptr;
    return chain;
}
