// The agent's log: "logs\log.txt" in the working folder, written only when
// the "logs" folder already exists. One line per call:
// "<asctime text>  Message: <message> ErrorCode: <code>".
#pragma once

#include "base/TAnsiString.h"
#include "base/TWideString.h"
#include "files/TPath.h"

// The log file's path; also makes sure the working folder exists.
TPath LogFilePath();

// Lost without notice when the file cannot be written; the message is cut
// at 1023 bytes of narrow text, on a character boundary.
void WriteLog(const TWideString& message, int code);

// The message as narrow text of at most `limit` bytes, never cutting a character.
TAnsiString NarrowForLog(const TWideString& message, int limit);
