// Whether two paths lead to one file. Paths are no proof: an 8.3 short
// name, a link to the folder or a "\\?\" prefix name the same file by
// another text, so the files' identities are compared instead.
#pragma once

// True when both name existing files with the same volume serial number
// and file index. A path that names no file (an output not written yet)
// is never the other file.
bool NamesTheSameFile(const char* path, const char* otherPath);
