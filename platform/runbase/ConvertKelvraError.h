// The result code that an imaging error chain stands for at a module or
// library boundary.
#pragma once

class IKelvraError;

// 0 for no error (null). Otherwise, looking at every error of the chain and
// every error it wraps:
// - 0x1003 when any of them reports that memory ran out: code 1005 of the
//   framework or the application, or the system's ERROR_NOT_ENOUGH_MEMORY
//   or ERROR_OUTOFMEMORY;
// - else 0x1002 when any of them is a cancellation: code 1100 of the
//   framework or the application, a text error that reads exactly
//   "Cancelled" or "Aborted", the system's ERROR_CANCELLED, or Sigcore's
//   2001 (its processing stopped by the progress callback);
// - else 0x1008.
// Codes count only within their category, so a system error numbered 1005
// is a plain failure. The chain is neither changed nor released: the caller
// still owns it.
unsigned long ConvertKelvraError(const IKelvraError* error);
