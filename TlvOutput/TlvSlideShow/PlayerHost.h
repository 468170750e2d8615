// The player host's services the sequencer uses: unique temporary names for
// the movies it builds.
#pragma once

#include <string>

class SlideshowPlayerHost {
public:
    virtual ~SlideshowPlayerHost() = default;

    // A new file in the temporary folder named "tlss" plus a unique part
    // (the process id and a counter, in hex) plus `extension`; the file is created empty, so that no other show or
    // program gets the same name. False when no folder or name can be had.
    virtual bool TempName(const char* extension, std::string& name);
};

// Deletes the temporary movie files ("tlss*.tmp") this process still has
// open for removal; called when a show ends.
void DeleteLeftTempMovies();
// Deletes one such file now.
void DeleteTempMovie(const std::string& name);
