// Registry set-up shared by the toolkit tests: a key helper made as a
// library's application object makes it, and clean-up of every key the
// tests create. Checks go through Win32 directly, not the code under test.
#pragma once

#include "registry/TlRegistryHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "support/RegistryValues.h"

#include <string>

// The keys the test string table names.
extern const char* const kTestMakerKey;  // Software\<maker>
extern const char* const kTestModuleKey; // Software\<maker>\<module>\<version>
extern const char* const kTestCommonKey; // Software\<maker>\<common>

// Key parts from the test module's string table (4002 to 4005).
class TestRegistryHelper : public CTlRegistryHelper {
public:
    TestRegistryHelper();
};

// Deletes the test maker's keys under HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE before and after each test.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest();
    ~RegistryTest() override;

    TestRegistryHelper m_helper;
};
