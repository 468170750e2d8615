// What the settings-save tests share: a written file read back whole.
#pragma once

#include "PellioTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace qrfsave_test {

inline pelliotest::LoadedFile Reload(IKelvraManager* manager, const std::string& path)
{
    pelliotest::LoadedFile file;
    IKelvraError* error = pelliotest::LoadWhole(manager, path, &file);
    EXPECT_EQ(error, nullptr) << path;
    IKelvraError::Release(error);
    return file;
}

} // namespace qrfsave_test
