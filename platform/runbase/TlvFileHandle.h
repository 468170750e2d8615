// A path record made for one existing file, such as a plug-in the output
// module is about to load. It is used wherever a CTlvFilePath is taken.
#pragma once

#include "runbase/TlvFilePath.h"

class CTlvFileHandle : public CTlvFilePath {
public:
    // As CTlvFilePath::Initialize, then checks that the path names a file:
    // 0x1101 when nothing or a folder is there. The path is kept either way,
    // so a caller that ignores the answer still has it.
    unsigned long Initialize(const char* path) noexcept;
};
