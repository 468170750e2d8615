// Which of the Revelation engine's two passes a change of the source makes
// stale.
#pragma once

struct TlStalePasses {
    bool statistics;
    bool render;
};

// By notice code: size and resolution changes need only a new rendering;
// changed pixels, formats, palettes, a source going away or a full update
// need new statistics too; transforms and other codes need nothing.
TlStalePasses TlPassesStaledBy(long code);
