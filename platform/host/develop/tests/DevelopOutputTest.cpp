// The develop command's own decisions: the output format by extension,
// the progress bar's text whatever the saver reports, and the texts of the
// results a save gives the host.
#include "DevelopMessages.h"
#include "DevelopOutput.h"
#include "DevelopProgress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(DevelopOutputTest, ExtensionChoosesJpegOrTiffWhateverItsCase)
{
    const struct {
        const char* path;
        bool chosen;
        std::uint32_t fileFormat;
        std::uint32_t pixelFormat;
    } cases[] = {
        {"C:\\out\\picture.jpg", true, 1, 0x08060201},
        {"C:\\out\\picture.JPEG", true, 1, 0x08060201},
        {"Z:\\tmp\\a.b\\picture.tif", true, 256, 0x10060201},
        {"picture.TiFf", true, 256, 0x10060201},
        {"C:\\out\\picture.qrf", false, 0, 0},
        {"C:\\out.jpg\\picture", false, 0, 0}, // the dot of a folder is no extension
        {"C:\\out\\picture.jpg.bak", false, 0, 0},
        {"C:\\out\\jpg", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DevelopOutput output{7, 7};
        EXPECT_EQ(ChooseDevelopOutput(c.path, &output), c.chosen);
        if (c.chosen) {
            EXPECT_EQ(output.fileFormat, c.fileFormat);
            EXPECT_EQ(output.pixelFormat, c.pixelFormat);
        } else {
            EXPECT_EQ(output.fileFormat, 7u) << "left alone";
        }
    }
}

TEST(DevelopOutputTest, ProgressBarStaysWithinItsBoundsWhateverTheSaverReports)
{
    const struct {
        long done;
        long total;
        int filled;
        const char* percent;
    } cases[] = {
        {0, 0, 0, "  0%"},   {5, 0, 0, "  0%"},     {-3, 10, 0, "  0%"}, {1, 2, 20, " 50%"},
        {99, 100, 39, " 99%"}, {100, 100, 40, "100%"}, {250, 100, 40, "100%"}, {1, 3, 13, " 33%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + "/" + std::to_string(c.total));
        const std::string bar = ProgressBarText(c.done, c.total);
        EXPECT_EQ(bar, "[" + std::string(std::size_t(c.filled), '#') + std::string(std::size_t(40 - c.filled), '.') +
                           "] " + c.percent);
    }
}

TEST(DevelopOutputTest, ProgressLineRedrawsOnlyWhenThePercentChangesAndEndsItsLine)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    CProgressLine line(out);
    line.Finish(); // nothing drawn: no line to end
    line.Show(1, 1000);
    line.Show(2, 1000); // still 0%
    line.Show(500, 1000);
    line.Finish();
    std::rewind(out);
    std::string written;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out))
        written += char(c);
    std::fclose(out);
    EXPECT_EQ(written, "\r" + ProgressBarText(0, 1) + "\r" + ProgressBarText(1, 2) + "\n");
}

TEST(DevelopOutputTest, ResultsOfASaveHaveTheirOwnTexts)
{
    const std::string cancelled = DevelopResultText(0x1002);
    const std::string failed = DevelopResultText(0x1008);
    const std::string memory = DevelopResultText(0x1003);
    const std::string other = DevelopResultText(0x1234);
    EXPECT_EQ(cancelled, "cancelled");
    EXPECT_NE(failed, other);
    EXPECT_NE(memory, other);
    EXPECT_FALSE(other.empty());
}

} // namespace
