#include "infra/TlFileFunctions.h"
#include "infra/TlStreamFile.h"

#include "InfraTestFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using infra_test::ScopedTempFile;

const int kWriteBinary = CTlStreamBase::kOpenWrite | CTlStreamBase::kOpenTruncate | CTlStreamBase::kOpenBinary;
const int kReadBinary = CTlStreamBase::kOpenRead | CTlStreamBase::kOpenBinary;

TEST(TlStreamFile, WritesAndReadsThroughItsStream)
{
    ScopedTempFile file;
    CTlStreamFile named(file.Path());
    ASSERT_TRUE(named.Open(kWriteBinary));
    EXPECT_TRUE(named.Write("payload", 7));
    named.Close();
    EXPECT_FALSE(named.IsOpen());
    EXPECT_EQ(7, named.GetSize()); // known without an open stream

    ASSERT_TRUE(named.Open(kReadBinary));
    char bytes[7];
    int count = 0;
    EXPECT_TRUE(named.Read(bytes, 7, &count));
    EXPECT_EQ("payload", std::string(bytes, 7));
}

TEST(TlStreamFile, ClosedFileRefusesTransfers)
{
    ScopedTempFile file;
    CTlStreamFile named(file.Path());
    char byte = 0;
    int count = -1;
    EXPECT_FALSE(named.Write("x", 1));
    EXPECT_FALSE(named.Read(&byte, 1, &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(nullptr, named.GetStream());
}

TEST(TlStreamFile, EmptyOrNullPathNeverOpens)
{
    CTlStreamFile unnamed(nullptr);
    EXPECT_STREQ("", unnamed.GetPath());
    EXPECT_FALSE(unnamed.Open(kWriteBinary));
    EXPECT_EQ(-1, unnamed.GetSize());
    EXPECT_FALSE(CTlStreamFile("").Open(kWriteBinary));
}

TEST(TlStreamFile, FailedOpenLeavesNoStream)
{
    ScopedTempFile file;
    ASSERT_TRUE(RemoveFile(file.Path()));
    CTlStreamFile missing(file.Path());
    EXPECT_FALSE(missing.Open(kReadBinary));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(-1, missing.GetSize());
}

TEST(TlStreamFile, SecondOpenIsRefusedWhileOpen)
{
    ScopedTempFile file;
    CTlStreamFile named(file.Path());
    ASSERT_TRUE(named.Open(kWriteBinary));
    CTlFileStream* first = named.GetStream();
    EXPECT_FALSE(named.Open(kReadBinary));
    EXPECT_EQ(first, named.GetStream());
}

TEST(TlFileFunctions, TempFileIsNewEmptyAndNamedWithThePrefix)
{
    CTlString first;
    CTlString second;
    ASSERT_TRUE(MakeTempFileName(first));
    ASSERT_TRUE(MakeTempFileName(second));
    EXPECT_STRNE(first.GetData(), second.GetData());
    EXPECT_EQ(0, CTlStreamFile(first.GetData()).GetSize());

    const char* name = std::strrchr(first.GetData(), '\\');
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(0, std::strncmp(name + 1, "Tln", 3));
    EXPECT_TRUE(RemoveFile(first.GetData()));
    EXPECT_TRUE(RemoveFile(second.GetData()));
}

TEST(TlFileFunctions, RemoveFileReportsAMissingFile)
{
    ScopedTempFile file;
    EXPECT_TRUE(RemoveFile(file.Path()));
    EXPECT_FALSE(RemoveFile(file.Path()));
    EXPECT_FALSE(RemoveFile(nullptr));
}

TEST(TlFileFunctions, CopyHonoursTheFailIfExistsFlag)
{
    ScopedTempFile source;
    ScopedTempFile destination; // exists, empty
    TempFolder::Overwrite(source.Path(), "contents");

    EXPECT_FALSE(CopyFileTo(source.Path(), destination.Path(), true));
    EXPECT_EQ("", TempFolder::Read(destination.Path()));
    EXPECT_TRUE(CopyFileTo(source.Path(), destination.Path(), false));
    EXPECT_EQ("contents", TempFolder::Read(destination.Path()));
    EXPECT_FALSE(CopyFileTo(nullptr, destination.Path(), false));
}

} // namespace
