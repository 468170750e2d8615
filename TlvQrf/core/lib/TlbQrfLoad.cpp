// The load object's exported factory, in the library's own module state.
#include "afxwin.h"
#include "load/TlvLoadImage.h"

unsigned long ITlvLoadImage::CreateObject(ITlvLoadImage** out)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return CreateLoadImage(out);
}
