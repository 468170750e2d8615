// Every operation of the image control works in the library's own module
// state and gives the caller's back on return.
#pragma once

#include "afxwin.h"

#define TL_CONTROL_STATE() AFX_MANAGE_STATE(AfxGetStaticModuleState())
