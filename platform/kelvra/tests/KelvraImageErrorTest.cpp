#include "KelvraImageTestSupport.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace kelvra_image_test;

namespace {

constexpr KelvraTag kSource = KelvraFourCC('K', 'S', 'r', 'c');
constexpr KelvraTag kPixels = KelvraFourCC('K', 'P', 'i', 'x');
constexpr KelvraTag kTransfer = KelvraFourCC('K', 'R', 'c', 't');
// Bits per sample 255 and 127 planes: a legal word with absurdly wide pixels.
constexpr KelvraPixelFormat kWidestFormat = 0xFFFE0001;

using Action = std::function<IKelvraError*(IKelvraImage* image)>;

struct ErrorCase {
    const char* name;
    bool ready; // a 130 x 70 grey image, or one without size and format
    Action action;
    long code; // 0: the action succeeds
    KelvraTag tag;
};

std::vector<std::uint8_t> g_rows(200 * 80);
const void* g_data = nullptr;
KelvraRect g_rect;
long g_rowBytes = 0;
bool g_exists = false;

KelvraPalette PaletteOf(long count)
{
    KelvraPalette palette;
    palette.count = count;
    return palette;
}

IKelvraError* Both(IKelvraError* first, const std::function<IKelvraError*()>& second)
{
    return first ? first : second();
}

const ErrorCase kCases[] = {
    {"lock before size", false, [](IKelvraImage* i) { return i->LockTile(0, 0, &g_data, &g_rect, &g_rowBytes); },
     kKelvraNotReady, kImageTag},
    {"write lock before size", false,
     [](IKelvraImage* i) {
         void* data = nullptr;
         return i->LockTileForWrite(0, 0, &data, nullptr, nullptr);
     },
     kKelvraNotReady, kImageTag},
    {"append before size", false, [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 1, 200); },
     kKelvraNotReady, kImageTag},
    {"exists before size", false, [](IKelvraImage* i) { return i->TileExists(0, 0, &g_exists); }, kKelvraNotReady,
     kImageTag},
    {"read before format", false,
     [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(0, 0, 1, 1), g_rows.data(), 200); }, kKelvraNotReady,
     kTransfer},
    {"size without format", false, [](IKelvraImage* i) { return i->SetSize(10, 10); }, 0, 0},

    {"negative width", true, [](IKelvraImage* i) { return i->SetSize(-1, 5); }, kKelvraBadArgument, kImageTag},
    {"negative height", true, [](IKelvraImage* i) { return i->SetSize(5, -1); }, kKelvraBadArgument, kImageTag},
    {"too many tile columns", true, [](IKelvraImage* i) { return i->SetSize(64 * 0x8000, 1); }, kKelvraBadArgument,
     kImageTag},
    {"too many tile rows", true, [](IKelvraImage* i) { return i->SetSize(1, 64 * 0x8000); }, kKelvraBadArgument,
     kImageTag},
    {"largest size", true, [](IKelvraImage* i) { return i->SetSize(64 * 0x7FFF, 64 * 0x7FFF); }, 0, 0},
    {"rows wider than a long", true,
     [](IKelvraImage* i) { return Both(i->SetSize(600000, 1), [i] { return i->SetColorSpace(kWidestFormat); }); },
     kKelvraBadArgument, kImageTag},
    {"format without bits", true, [](IKelvraImage* i) { return i->SetColorSpace(0x00020001); },
     kKelvraUnsupportedFormat, kImageTag},
    {"negative resolution", true, [](IKelvraImage* i) { return i->SetResolution(-1); }, kKelvraBadArgument,
     kImageTag},
    {"resolution not a number", true,
     [](IKelvraImage* i) { return i->SetResolution(std::numeric_limits<double>::quiet_NaN()); },
     kKelvraBadArgument, kImageTag},
    {"infinite rotation", true,
     [](IKelvraImage* i) { return i->SetTransform(false, std::numeric_limits<double>::infinity(), 0); },
     kKelvraBadArgument, kImageTag},
    {"palette too long", true, [](IKelvraImage* i) { return i->SetPalette(PaletteOf(257)); }, kKelvraBadArgument,
     kImageTag},
    {"palette count negative", true, [](IKelvraImage* i) { return i->SetPalette(PaletteOf(-1)); },
     kKelvraBadArgument, kImageTag},

    {"tile right of the image", true, [](IKelvraImage* i) { return i->LockTile(3, 0, &g_data, nullptr, nullptr); },
     kKelvraBadArgument, kImageTag},
    {"tile below the image", true, [](IKelvraImage* i) { return i->LockTile(0, 2, &g_data, nullptr, nullptr); },
     kKelvraBadArgument, kImageTag},
    {"negative tile", true, [](IKelvraImage* i) { return i->LockTile(-1, 0, &g_data, nullptr, nullptr); },
     kKelvraBadArgument, kImageTag},
    {"lock without data pointer", true, [](IKelvraImage* i) { return i->LockTile(0, 0, nullptr, nullptr, nullptr); },
     kKelvraMissingObject, kImageTag},
    {"write lock without data pointer", true,
     [](IKelvraImage* i) { return i->LockTileForWrite(0, 0, nullptr, nullptr, nullptr); }, kKelvraMissingObject,
     kImageTag},
    {"unlock of an unlocked tile", true, [](IKelvraImage* i) { return i->UnlockTile(0, 0); }, kKelvraBadArgument,
     kImageTag},
    {"unlock far outside", true, [](IKelvraImage* i) { return i->UnlockTile(-5, 70000); }, kKelvraBadArgument,
     kImageTag},
    {"write unlock of an unlocked tile", true, [](IKelvraImage* i) { return i->UnlockTileForWrite(0, 0, true); },
     kKelvraBadArgument, kImageTag},
    {"exists outside", true, [](IKelvraImage* i) { return i->TileExists(3, 0, &g_exists); }, kKelvraBadArgument,
     kImageTag},
    {"exists without answer", true, [](IKelvraImage* i) { return i->TileExists(0, 0, nullptr); },
     kKelvraMissingObject, kImageTag},

    {"append past the height", true, [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 71, 200); },
     kKelvraBadArgument, kImageTag},
    {"append past the last row", true,
     [](IKelvraImage* i) {
         return Both(i->AppendRows(g_rows.data(), 60, 200), [i] { return i->AppendRows(g_rows.data(), 11, 200); });
     },
     kKelvraBadArgument, kImageTag},
    {"append without rows", true, [](IKelvraImage* i) { return i->AppendRows(nullptr, 1, 200); },
     kKelvraMissingObject, kImageTag},
    {"append a negative count", true, [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), -1, 200); },
     kKelvraBadArgument, kImageTag},
    {"append short rows", true, [](IKelvraImage* i) { return i->AppendRows(g_rows.data(), 1, 129); },
     kKelvraBadArgument, kTransfer},

    {"width without answer", true, [](IKelvraImage* i) { return i->GetWidth(nullptr); }, kKelvraMissingObject,
     kImageTag},
    {"size without answer", true, [](IKelvraImage* i) { return i->GetSize(nullptr, &g_rowBytes); },
     kKelvraMissingObject, kSource},
    {"row bytes without answer", true, [](IKelvraImage* i) { return i->GetRowBytes(nullptr); },
     kKelvraMissingObject, kSource},
    {"tile rect outside", true, [](IKelvraImage* i) { return i->GetTile(0, 2, &g_rect); }, kKelvraBadArgument,
     kSource},
    {"map without answer", true, [](IKelvraImage* i) { return i->MapRect(KelvraRect(0, 0, 1, 1), nullptr); },
     kKelvraMissingObject, kSource},

    {"pixel right of the image", true, [](IKelvraImage* i) { return i->GetPixel(130, 0, g_rows.data()); },
     kKelvraBadArgument, kPixels},
    {"pixel above the image", true, [](IKelvraImage* i) { return i->GetPixel(0, -1, g_rows.data()); },
     kKelvraBadArgument, kPixels},
    {"pixel without buffer", true, [](IKelvraImage* i) { return i->GetPixel(0, 0, nullptr); }, kKelvraMissingObject,
     kPixels},
    {"data into a short buffer", true, [](IKelvraImage* i) { return i->GetData(g_rows.data(), 130 * 70 - 1); },
     kKelvraBadArgument, kPixels},
    {"data without buffer", true, [](IKelvraImage* i) { return i->GetData(nullptr, 130 * 70); },
     kKelvraMissingObject, kPixels},
    {"data size without answer", true, [](IKelvraImage* i) { return i->GetDataSize(nullptr); },
     kKelvraMissingObject, kPixels},

    {"read past the edge", true,
     [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(120, 60, 131, 70), g_rows.data(), 200); },
     kKelvraBadArgument, kTransfer},
    {"read short rows", true,
     [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(0, 0, 130, 2), g_rows.data(), 129); },
     kKelvraBadArgument, kTransfer},
    {"read negative rows", true,
     [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(0, 0, 130, 2), g_rows.data(), -200); },
     kKelvraBadArgument, kTransfer},
    {"read without buffer", true, [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(0, 0, 1, 1), nullptr, 1); },
     kKelvraMissingObject, kTransfer},
    {"read nothing", true, [](IKelvraImage* i) { return KelvraReadRect(i, KelvraRect(5, 5, 5, 9), g_rows.data(), 0); },
     0, 0},
    {"write past the edge", true,
     [](IKelvraImage* i) { return KelvraWriteRect(i, KelvraRect(-1, 0, 10, 10), g_rows.data(), 200); },
     kKelvraBadArgument, kTransfer},
    {"write without buffer", true,
     [](IKelvraImage* i) { return KelvraWriteRect(i, KelvraRect(0, 0, 1, 1), nullptr, 1); },
     kKelvraMissingObject, kTransfer},

    {"attach nothing", true, [](IKelvraImage* i) { return i->AttachFilter(nullptr); }, kKelvraMissingObject,
     kImageTag},
    {"detach nothing", true, [](IKelvraImage* i) { return i->DetachFilter(nullptr); }, kKelvraMissingObject,
     kImageTag},
};

TEST(KelvraImageErrors, EachBadCallFailsWithItsCodeAndLayer)
{
    ManagerPtr manager = MakeManager();
    const long liveErrors = IKelvraError::LiveCount();
    for (const ErrorCase& c : kCases) {
        ImagePtr image = c.ready ? MakeImage(manager.get(), kKelvraGrey8, 130, 70) : nullptr;
        if (!image) {
            IKelvraImage* made = nullptr;
            ASSERT_TRUE(Succeeded(manager->CreateImage(&made)));
            image.reset(made);
        }
        IKelvraError* error = c.action(image.get());
        const IKelvraError* cause = error ? error->FindCause() : nullptr;
        EXPECT_EQ(c.code, cause ? cause->GetCode() : 0) << c.name;
        EXPECT_EQ(c.tag, cause ? cause->GetTag() : 0u) << c.name;
        IKelvraError::Release(error);
    }
    EXPECT_EQ(liveErrors, IKelvraError::LiveCount()); // every chain came back whole to its caller
}

// After a refused call the image is as it was and still works.
TEST(KelvraImageErrors, RefusedSettersChangeNothing)
{
    ManagerPtr manager = MakeManager();
    ImagePtr image = MakeImage(manager.get(), kKelvraGrey8, 130, 70);
    ASSERT_TRUE(Succeeded(image->AppendRows(g_rows.data(), 10, 200)));
    EXPECT_NE(0, CauseCode(image->SetSize(-1, 70)));
    EXPECT_NE(0, CauseCode(image->SetSize(64 * 0x8000, 70)));
    EXPECT_NE(0, CauseCode(image->SetColorSpace(0)));
    EXPECT_NE(0, CauseCode(image->AppendRows(g_rows.data(), 61, 200)));
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    ASSERT_TRUE(Succeeded(image->GetSize(&width, &height)));
    ASSERT_TRUE(Succeeded(image->GetColorSpace(&format)));
    EXPECT_EQ(130, width);
    EXPECT_EQ(70, height);
    EXPECT_EQ(kKelvraGrey8, format);
    EXPECT_EQ(10, image->GetRowsWritten());
    EXPECT_TRUE(Succeeded(image->AppendRows(g_rows.data(), 60, 200)));
}

} // namespace
