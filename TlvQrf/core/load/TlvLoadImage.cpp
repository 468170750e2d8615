// Each operation works in the library's own module state and gives the
// caller's back on return.
#include "load/TlvLoadImage.h"

#include "load/TlLoadResult.h"

#include <afxwin.h>

#include <new>

unsigned long CreateLoadImage(ITlvLoadImage** out)
{
    CTlvLoadImage* made = new (std::nothrow) CTlvLoadImage;
    if (made == nullptr)
        return kTlResultNoMemory;
    *out = made;
    return kTlResultOk;
}

bool CTlvLoadImage::IsFinished() const
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_task.IsFinished();
}

unsigned long CTlvLoadImage::BeginLoad(CTlvImageAttributes* attributes, KelvraFile& file, bool unused,
                                       bool loadSubImages)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return MapLoadResult(m_task.Begin(attributes, file, unused, loadSubImages));
}

unsigned long CTlvLoadImage::ExecuteLoad()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_task.Execute() == kTlLoadDone ? kTlResultOk : kTlResultFailed;
}

unsigned long CTlvLoadImage::FinishLoad()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return MapLoadResult(m_task.Finish(true, true));
}

void CTlvLoadImage::GetProgress(long& step, long& total) const
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_task.GetProgress(step, total);
}

void CTlvLoadImage::Abort()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_task.Abort();
}

void CTlvLoadImage::Destroy()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    delete this;
}
