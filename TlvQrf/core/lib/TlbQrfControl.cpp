// The image control's exported factory, in the library's own module state.
#include "afxwin.h"
#include "control/TlvQrfControl.h"

unsigned long ITlvQrfData::CreateObject(ITlvQrfData** out)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return CreateQrfControl(out);
}
