#include "params/TlProgressRelay.h"

#include "frame/TlSaveProgress.h"

namespace {

// The development runs as one stage of six steps.
constexpr long kDevelopSteps = 6;

} // namespace

bool CProgressRelay::Progress(long code, long total)
{
    ITlSaveProgressSink* sink = GetSaveProgressState().sink;
    if (sink == nullptr)
        return true;
    if (code >= 0)
        return !sink->Progress(code, total);
    if (code == kStarted)
        sink->Reset(0, kDevelopSteps);
    else if (code == kEnded)
        sink->Notify();
    return true;
}

void CProgressRelay::OnSigProcEvent(long code, CSigProcImage* /*image*/)
{
    Progress(code, 0);
}

int CProgressRelay::OnSigProcProgress(long done, long total)
{
    return Progress(done, total) ? 1 : 0;
}

CScopedProgressRelay::CScopedProgressRelay(IKelvraImage* image) : m_image(dynamic_cast<CSigProcImage*>(image))
{
    if (m_image == nullptr)
        return;
    m_previous = m_image->GetObserver();
    m_image->SetObserver(&m_relay);
}

CScopedProgressRelay::~CScopedProgressRelay()
{
    if (m_image != nullptr)
        m_image->SetObserver(m_previous);
}
