// The parts of a curve element's stored block around its 20-byte header
// (the class id and the element id), for the elements' own readers.
#pragma once

#include "settings/record/TlState.h"

// True when the block is long enough for an id and starts with `id`.
bool IsElementBlock(const unsigned char* buffer, int size, const TlGuid& id);

// What follows the header: its start (null when the block ends within the
// header) and its size (0 then).
const unsigned char* ElementBody(const unsigned char* buffer, int size);
int ElementBodySize(int size);
// The same for writing.
unsigned char* ElementBody(unsigned char* buffer, int size);
