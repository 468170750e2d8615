#include "KelvraImageTestSupport.h"

#include <string>
#include <vector>

using namespace kelvra_image_test;

namespace {

using Action = std::function<IKelvraError*(IKelvraImage* image)>;

std::vector<std::uint8_t> g_rows(200 * 80, 0x7F);

IKelvraError* RewriteTile(IKelvraImage* image, long column, long row, bool modified)
{
    void* data = nullptr;
    if (IKelvraError* error = image->LockTileForWrite(column, row, &data, nullptr, nullptr))
        return error;
    return image->UnlockTileForWrite(column, row, modified);
}

KelvraPalette TwoColours()
{
    KelvraPalette palette;
    palette.count = 2;
    palette.entries[0] = 0xFF0000;
    palette.entries[1] = 0x00FF00;
    return palette;
}

// A 130 x 70 grey image with a recording destination linked to it.
class KelvraImageNotices : public ::testing::Test {
protected:
    void SetUp() override { Relink(); }

    // A fresh image and an empty record.
    void Relink()
    {
        m_image.reset();
        m_destination.Clear();
        m_image = MakeImage(m_manager.get(), kKelvraGrey8, 130, 70);
        ASSERT_TRUE(Succeeded(KelvraDataConnect(m_image.get(), &m_destination)));
    }

    ManagerPtr m_manager = MakeManager();
    CRecordingDestination m_destination; // outlives the image: it hears the image go
    ImagePtr m_image;
};

TEST_F(KelvraImageNotices, EachChangeIsHeardOnceWithItsRecord)
{
    struct {
        const char* name;
        Action action;
        const char* heard;
    } const cases[] = {
        {"new size", [](IKelvraImage* i) { return i->SetSize(64, 32); }, "size 130x70->64x32"},
        {"same size", [](IKelvraImage* i) { return i->SetSize(130, 70); }, ""},
        {"new format", [](IKelvraImage* i) { return i->SetColorSpace(kKelvraRGB16); },
         "format 08020001->10060201"},
        {"same format", [](IKelvraImage* i) { return i->SetColorSpace(kKelvraGrey8); }, ""},
        {"new resolution", [](IKelvraImage* i) { return i->SetResolution(300); }, "dpi 72->300"},
        {"same resolution", [](IKelvraImage* i) { return i->SetResolution(72); }, ""},
        {"new transform", [](IKelvraImage* i) { return i->SetTransform(true, 90, 0); }, "transform 0/0->1/90"},
        {"same transform", [](IKelvraImage* i) { return i->SetTransform(false, 0, 0); }, ""},
        {"new palette", [](IKelvraImage* i) { return i->SetPalette(TwoColours()); },
         "palette 2: 00ff0000 0000ff00"},
        {"same palette", [](IKelvraImage* i) { return i->SetPalette(KelvraPalette()); }, ""},
        {"all rows at once", [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 70, 200); },
         "data 0,0,130,70"},
        {"rows in two calls",
         [](IKelvraImage* i) {
             IKelvraError* error = i->AppendRows(g_rows.data(), 10, 200);
             return error ? error : i->AppendRows(g_rows.data(), 5, 200);
         },
         "data 0,0,130,10 | data 0,10,130,15"},
        {"no rows", [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 0, 200); }, ""},
        {"written rectangle",
         [](IKelvraImage* i) { return KelvraWriteRect(i, KelvraRect(60, 30, 70, 40), g_rows.data(), 200); },
         "data 60,30,70,40"},
        {"modified tile", [](IKelvraImage* i) { return RewriteTile(i, 2, 1, true); }, "data 128,64,130,70"},
        {"unmodified tile", [](IKelvraImage* i) { return RewriteTile(i, 2, 1, false); }, ""},
        {"refused size", [](IKelvraImage* i) { return i->SetSize(-1, 1); }, ""},
        {"refused rows", [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 71, 200); }, ""},
    };
    for (const auto& c : cases) {
        Relink();
        IKelvraError::Release(c.action(m_image.get()));
        EXPECT_EQ(c.heard, m_destination.Heard()) << c.name;
        for (IKelvraDataSource* sender : m_destination.Senders())
            EXPECT_EQ(m_image.get(), sender) << c.name;
    }
}

// Notices are sent after the change and with no lock held: a destination
// may read the image while it is told.
TEST_F(KelvraImageNotices, DestinationsReadTheNewStateWhileTold)
{
    std::vector<std::string> seen;
    IKelvraImage* image = m_image.get();
    m_destination.SetProbe([&seen, image](IKelvraDataSource* source, long code) -> IKelvraError* {
        long width = 0, height = 0;
        std::uint8_t pixel = 0;
        IKelvraError* error = source->GetSize(&width, &height);
        if (!error && code == kKelvraNotifyData)
            error = source->GetPixel(0, image->GetRowsWritten() - 1, &pixel);
        seen.push_back(std::to_string(code) + ":" + std::to_string(width) + "x" + std::to_string(height) + "/" +
                       std::to_string(image->GetRowsWritten()) + "/" + std::to_string(pixel));
        return error;
    });
    ASSERT_TRUE(Succeeded(m_image->AppendRows(g_rows.data(), 3, 200)));
    ASSERT_TRUE(Succeeded(m_image->SetSize(20, 10)));
    const std::vector<std::string> expected = {"0:130x70/3/127", "1:20x10/0/0"};
    EXPECT_EQ(expected, seen);
    m_destination.SetProbe(nullptr); // the going-away notice comes from a half-destroyed image
}

TEST_F(KelvraImageNotices, ADestinationsErrorComesBackAfterTheChange)
{
    const KelvraTag tag = KelvraFourCC('R', 'e', 'c', 'd');
    m_destination.SetProbe([tag](IKelvraDataSource*, long) { return KELVRA_ERROR(nullptr, tag, 4242); });
    IKelvraError* error = m_image->SetResolution(150);
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(4242));
    EXPECT_EQ(kImageTag, error->GetTag());
    IKelvraError::Release(error);
    double dpi = 0;
    ASSERT_TRUE(Succeeded(m_image->GetResolution(&dpi)));
    EXPECT_EQ(150.0, dpi);
}

TEST_F(KelvraImageNotices, ReleasingTheImageTellsItsDestinations)
{
    m_image.reset();
    EXPECT_EQ("destroyed", m_destination.Heard());
}

} // namespace
