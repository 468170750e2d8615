#include "TestModuleFiles.h"

#include "lang/TlvStringResource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kCancelText = 31278;   // in the handheld language library
constexpr UINT kSettingsSubKey = 4001; // in this module's own table only


// Whether the image of a library loaded as a data file is still mapped.
bool IsMapped(HINSTANCE library)
{
    MEMORY_BASIC_INFORMATION memory = {};
    const auto base = reinterpret_cast<void*>(reinterpret_cast<UINT_PTR>(library) & ~UINT_PTR(3));
    return VirtualQuery(base, &memory, sizeof memory) == sizeof memory && memory.State != MEM_FREE;
}

TEST(LangResource, TextsComeFromTheLanguageLibraryThenTheModule)
{
    CTlvLangResource language;
    ASSERT_TRUE(language.Load(BesideTestProgram("TlvPDALang.dll").c_str()));
    const CTlvStringResource cancel(&language, kCancelText);
    EXPECT_TRUE(cancel.Found());
    EXPECT_EQ("Cancel", cancel.Text());
    const CTlvStringResource subKey(&language, kSettingsSubKey);
    EXPECT_TRUE(subKey.Found());
    EXPECT_EQ("LastSettings", subKey.Text());
    const CTlvStringResource missing(&language, 4242);
    EXPECT_FALSE(missing.Found());
    EXPECT_EQ("", missing.Text());

    const CTlvStringResource withoutLanguage(nullptr, kSettingsSubKey);
    EXPECT_EQ("LastSettings", withoutLanguage.Text());
    const CTlvLangResource notLoaded;
    EXPECT_FALSE(CTlvStringResource(&notLoaded, kCancelText).Found());
}

TEST(LangResource, AReloadFreesThePreviousLibrary)
{
    CTlvLangResource language;
    ASSERT_TRUE(language.Load(BesideTestProgram("TlvPDALang.dll").c_str()));
    const HINSTANCE first = language.GetHandle();
    EXPECT_TRUE(IsMapped(first));
    ASSERT_TRUE(language.Load(BesideTestProgram("TlbUploaderLang.dll").c_str()));
    // Freed first, the old image's place may be taken by the new one.
    EXPECT_TRUE(language.GetHandle() == first || !IsMapped(first));
    EXPECT_TRUE(IsMapped(language.GetHandle()));
    EXPECT_TRUE(CTlvStringResource(&language, kCancelText).Found());

    const HINSTANCE second = language.GetHandle();
    EXPECT_FALSE(language.Load("C:\\TlNoSuchFolder\\TlvPDALang.dll"));
    EXPECT_EQ(nullptr, language.GetHandle());
    EXPECT_FALSE(IsMapped(second));
    HINSTANCE freedAtEnd = nullptr;
    {
        CTlvLangResource scoped;
        ASSERT_TRUE(scoped.Load(BesideTestProgram("TlvPDALang.dll").c_str()));
        freedAtEnd = scoped.GetHandle();
    }
    EXPECT_FALSE(IsMapped(freedAtEnd));
}

} // namespace
