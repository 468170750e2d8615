// File operations the load and save code share. Paths are ANSI.
#pragma once

class CTlString;

// Deletes the file; true on success.
bool RemoveFile(const char* path);
// Copies the file; with `failIfExists` an existing destination is kept and
// the copy fails. True on success.
bool CopyFileTo(const char* source, const char* destination, bool failIfExists);
// Creates a new empty file with a unique name in the temporary folder
// (prefix "Tln") and stores its path in `name`. False when the system
// gives no folder or name, or the name cannot be stored.
bool MakeTempFileName(CTlString& name);
