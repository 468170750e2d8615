// What a container's Load gathers before it changes anything: the header of
// whichever version was stored and the elements read from the block.
#pragma once

#include "settings/curves/TlCurveBase.h"

#include <memory>
#include <vector>

struct STlLutGroupHeader {
    int version = 1;
    bool hasKind = false; // versions 3 and up store the kind
    int kind = 0;
    int count = 0;
    int current = 0;
    double contrast = 0.0;
    int elementsStart = 0; // also the header size accounted for
};

struct STlLutGroupReading {
    STlLutGroupHeader header;
    std::vector<std::unique_ptr<CTlCurveBase>> elements;
    std::vector<CTlCurveBase*> taken; // room for the hand-over, reserved early
    int end = 0;                      // the block's end of the last element
};

// The header after the (checked) id; false when it is cut short or claims
// more bytes than are present.
bool TlReadLutGroupHeader(const unsigned char* buffer, int size, STlLutGroupHeader& header);
