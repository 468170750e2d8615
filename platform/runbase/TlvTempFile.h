// Temporary files that carry a buffer's data to code that wants a file.
#pragma once

#include <string>

class CTlvBuffer;

// Creates a new file in the system's temporary folder, writes the buffer's
// whole data into it and stores its path in `path`. 0 on success; 0x1008
// when the file cannot be made or written (nothing is left behind), 0x1003
// when memory runs out.
unsigned long TlvWriteTempFile(const CTlvBuffer& buffer, std::string& path) noexcept;
