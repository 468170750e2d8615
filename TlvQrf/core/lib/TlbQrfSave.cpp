// The saver's exported factory, in the library's own module state.
#include "afxwin.h"
#include "saverequest/TlvSaveImage.h"

unsigned long ITlvSaveImage::CreateObject(ITlvSaveImage** out)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return CreateSaveImage(out);
}
