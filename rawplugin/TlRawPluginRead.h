// The read cycle as the image editor sees it: ReadStart opens, probes, asks
// for the settings and describes the picture; ReadContinue hands it over in
// strips; ReadFinish lets everything go.
#pragma once

#include "TlRawPluginGlobals.h"

PsResult TlRawReadStart(TlRawGlobals* globals);
PsResult TlRawReadContinue(TlRawGlobals* globals);
PsResult TlRawReadFinish(TlRawGlobals* globals);

// Rows per strip: the whole height for a preview, else 208 rows for a
// picture narrower than 2013 pixels and 260 otherwise, never more than the
// height.
long TlRawRowsPerStrip(long width, long height, bool preview);
// The EXIF orientation of a turn: 90 -> 8, 180 -> 3, 270 -> 6, else 1.
long TlRawExifOrientation(long degrees);
// Closes and deletes the reader the globals hold.
void TlRawDropReader(TlRawGlobals* globals);
