// The texts the develop command prints for the result codes a save gives
// the host (SaveImage's answer and the record's result).
#pragma once

// Never null; other codes get a general text.
const char* DevelopResultText(unsigned long result);
