// The texts the develop command prints for the result codes a save gives
// the host (SaveImage's answer and the record's result), and for the error
// chain that says why a save failed.
#pragma once

#include <string>

class IKelvraError;

// Never null; other codes get a general text.
const char* DevelopResultText(unsigned long result);

// One line per error of `chain`, outermost first, each ending in a newline
// and indented by two spaces per level of wrapping (starting at two): a
// text error by its text, a coded one by its source tag, what its code
// means (the system's own text for an operating-system error), its code and
// source line; a wrapper by its tag, above what it wraps. Empty for no
// chain.
std::string DescribeErrorChain(const IKelvraError* chain);
