// Error chains that a host is handed for a failed save: each layer says
// what failed in a text and wraps the chain of why it failed, so the host
// can print the whole story, outermost first, down to the file or filter
// that caused it.
#pragma once

class IKelvraError;

// A text error of `line` that wraps `cause` (taken over; null wraps
// nothing).
IKelvraError* MakeFailure(long line, const char* text, IKelvraError* cause);

// Appends `error` (taken over; null adds nothing) to `chain`, which may be
// empty.
void AppendFailure(IKelvraError*& chain, long line, IKelvraError* error);
