// Reading a whole file: binary bytes exactly as stored, the length limit
// checked before anything is read, and failures that leave the buffer alone.
#include "infra/TlWholeFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bytes that text translation would change: CR LF, a lone LF, ^Z, NUL.
const std::string kBinary("a\r\nb\nc\x1A" "d\0e", 9);

std::vector<unsigned char> Marker()
{
    return {0xEE, 0xEE};
}

TEST(TlWholeFile, ReadsEveryByteUpToTheLimit)
{
    TempFolder folder;
    const struct {
        const char* name;
        std::string bytes;
        std::size_t limit;
    } cases[] = {
        {"binary, limit above", kBinary, 100},
        {"binary, limit exact", kBinary, kBinary.size()},
        {"empty", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Write("read.bin", c.bytes);
        std::vector<unsigned char> bytes = Marker();
        ASSERT_EQ(TlWholeFileResult::kRead, TlReadWholeFile(path.c_str(), c.limit, bytes));
        EXPECT_EQ(std::vector<unsigned char>(c.bytes.begin(), c.bytes.end()), bytes);
    }
}

TEST(TlWholeFile, FailuresLeaveTheBufferAsItWas)
{
    TempFolder folder;
    const std::string path = folder.Write("long.bin", kBinary);
    const struct {
        const char* name;
        std::string path;
        std::size_t limit;
        TlWholeFileResult result;
    } cases[] = {
        {"one byte over the limit", path, kBinary.size() - 1, TlWholeFileResult::kTooLong},
        {"missing file", folder.File("missing.bin"), 100, TlWholeFileResult::kUnreadable},
        {"a folder", folder.Path(), 100, TlWholeFileResult::kUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> bytes = Marker();
        EXPECT_EQ(c.result, TlReadWholeFile(c.path.c_str(), c.limit, bytes));
        EXPECT_EQ(Marker(), bytes);
    }
    std::vector<unsigned char> bytes = Marker();
    EXPECT_EQ(TlWholeFileResult::kUnreadable, TlReadWholeFile(nullptr, 100, bytes));
    EXPECT_EQ(Marker(), bytes);
}

} // namespace
