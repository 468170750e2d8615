// Building the map from an analysed reference, step by step.
#include "filters/dust/TlDustMap.h"

IKelvraError* CDustMap::Begin(IDustAnalyzer* analyzer, IKelvraDataSource* picture, long, long)
{
    if (analyzer == nullptr || picture == nullptr)
        return DustError(__LINE__, kKelvraMissingObject);
    if (m_state != kIdle && m_state != kFinished)
        return DustError(__LINE__, kKelvraOperationFailed);
    return DustError(__LINE__, kKelvraNotReady);
}

IKelvraError* CDustMap::Step(long& done, long& total)
{
    if (m_state == kFinished) {
        done = total = 1;
        return nullptr;
    }
    done = total = 0;
    return DustError(__LINE__, kKelvraOperationFailed);
}

IKelvraError* CDustMap::Abort()
{
    if (m_state != kFinished) {
        ReleaseWork();
        m_state = kIdle;
    }
    return nullptr;
}

void CDustMap::ReleaseWork() {}
