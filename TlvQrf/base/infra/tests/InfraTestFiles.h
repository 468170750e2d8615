// A temporary file for the file tests that goes away with the test.
#pragma once

#include "infra/TlFileFunctions.h"
#include "infra/TlString.h"

#include <windows.h>

namespace infra_test {

// A fresh empty file in the temporary folder, deleted with the object.
class ScopedTempFile {
public:
    ScopedTempFile() { MakeTempFileName(m_path); }
    ~ScopedTempFile() { DeleteFileA(m_path.GetData()); }
    ScopedTempFile(const ScopedTempFile&) = delete;
    ScopedTempFile& operator=(const ScopedTempFile&) = delete;

    const char* Path() const { return m_path.GetData(); }

private:
    CTlString m_path;
};

} // namespace infra_test
