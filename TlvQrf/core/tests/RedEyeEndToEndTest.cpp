// A synthetic raw file of a face whose pupils are red, opened through the
// image control as a host opens it: with the red-eye record in automatic
// mode, and in manual mode with stored regions, the preview and the export
// show the pupils no longer red and every other pixel as the development
// without red-eye correction shows it.
#include "DevelopEnvironment.h"
#include "DevelopedPatchesSupport.h"

#include "EyemendFace.h"
#include "filters/redeye/TlRedEyeLibrary.h"
#include "infra/ByteBuffer.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"

#include <algorithm>
#include <array>
#include <memory>

using namespace patches_test;

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;
constexpr long kBorder = 6; // the De-Bayer stage's border on each side

struct SDeveloped {
    SampleGrid preview;
    SampleGrid exported; // 8-bit TIFF
};

class RedEyeEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.scene = QrfSceneKind::Face;
        m_raw = m_environment.WriteRaw("face.qrf", options);
        ASSERT_FALSE(m_raw.empty());
    }

    // The preview and the export with `prepare` applied to the control's
    // settings (none: the plain development).
    template <typename Prepare>
    SDeveloped Develop(const char* name, Prepare prepare)
    {
        SDeveloped developed;
        SOpenedRaw opened = m_environment.Open(m_raw);
        EXPECT_NE(nullptr, opened.control);
        if (opened.control == nullptr)
            return developed;
        CTlvQrfControl& control = *opened.control;
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(control.GetFilterChain(&chain), "preview");
        EXPECT_TRUE(ShowPreviewAt(control, kWidth - 2 * kBorder, kHeight - 2 * kBorder, 1));
        if (prepare(control)) {
            EXPECT_EQ(0u, control.Update(ITlvQrfData::eRedEye, false, nullptr));
        }
        developed.preview = ReadSampleGrid(control.GetFilterChain());
        const std::string target = m_environment.Files().File(std::string(name) + ".tif");
        std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
        EXPECT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
        developed.exported = ReadImageFile(target).grid;
        return developed;
    }

    SDeveloped Plain()
    {
        return Develop("plain", [](CTlvQrfControl&) { return false; });
    }

    // A stored region around pupil `index`, in developed pixels.
    CTlBlob PupilRegion(int index) const
    {
        ReRegion box = m_face.pupils[index].Box();
        box.left -= kBorder + 1, box.top -= kBorder + 1, box.right -= kBorder - 1, box.bottom -= kBorder - 1;
        CByteBuffer record;
        EXPECT_EQ(ReOk, TlRedEyeSaveRecord(box, record));
        CTlBlob blob;
        EXPECT_TRUE(blob.Set(record.GetData(), std::size_t(record.GetSize())));
        return blob;
    }

    // Inside the pupils marked corrected, away from their rims, no pixel is
    // red any more (each was before); every pixel further than three pixels
    // from them is the plain development's.
    void ExpectCorrected(const SampleGrid& plain, const SampleGrid& seen, std::array<bool, 2> corrected) const
    {
        ASSERT_EQ(3, plain.planes);
        ASSERT_EQ(plain.width, seen.width);
        ASSERT_EQ(plain.height, seen.height);
        long wasNotRed = 0, stillRed = 0, changedOutside = 0;
        for (long y = 0; y < plain.height; ++y) {
            for (long x = 0; x < plain.width; ++x) {
                const long sx = x + kBorder, sy = y + kBorder; // scene pixel
                int closest = -1;
                bool inside = false;
                for (int i = 0; i < 2; ++i) {
                    const EyemendFace::Disc& pupil = m_face.pupils[i];
                    if (corrected[i] && std::abs(sx - pupil.x) <= pupil.radius + 3 &&
                        std::abs(sy - pupil.y) <= pupil.radius + 3) {
                        closest = i;
                        inside = EyemendFace::Disc{pupil.x, pupil.y, pupil.radius - 1}.Holds(sx, sy);
                    }
                }
                auto red = [x, y](const SampleGrid& grid) {
                    return grid.At(x, y, 0) > std::max(grid.At(x, y, 1), grid.At(x, y, 2)) + 4;
                };
                if (closest < 0) {
                    for (long c = 0; c < 3; ++c)
                        changedOutside += plain.At(x, y, c) != seen.At(x, y, c) ? 1 : 0;
                } else if (inside) {
                    wasNotRed += red(plain) ? 0 : 1;
                    stillRed += red(seen) ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(0, wasNotRed) << "the development shows the pupils red";
        EXPECT_EQ(0, stillRed) << "pupil pixels still red";
        EXPECT_EQ(0, changedOutside) << "samples changed away from the corrected pupils";
    }

    CDevelopEnvironment m_environment;
    std::string m_raw;
    const EyemendFace m_face = MakeEyemendFaceLayout(kWidth, kHeight, false);
};

TEST_F(RedEyeEndToEnd, AutomaticModeCorrectsBothPupilsInThePreviewAndTheExport)
{
    const SDeveloped plain = Plain();
    const SDeveloped automatic = Develop("automatic", [](CTlvQrfControl& control) {
        control.redEyeUsed = 1;
        control.redEye.value = 1;
        return true;
    });
    SCOPED_TRACE("automatic");
    ExpectCorrected(plain.preview, automatic.preview, {true, true});
    ExpectCorrected(plain.exported, automatic.exported, {true, true});
}

TEST_F(RedEyeEndToEnd, ManualModeCorrectsTheStoredRegionsInThePreviewAndTheExport)
{
    const SDeveloped plain = Plain();
    for (const std::array<bool, 2>& stored : {std::array<bool, 2>{false, true}, std::array<bool, 2>{true, true}}) {
        SCOPED_TRACE(stored[0] ? "both pupils stored" : "the right pupil stored");
        const SDeveloped manual = Develop("manual", [&](CTlvQrfControl& control) {
            control.redEyeUsed = 1;
            control.redEye.value = 2;
            for (int i = 0; i < 2; ++i) {
                if (stored[i])
                    control.redEye.secondRegions.push_back(PupilRegion(i));
            }
            return true;
        });
        ExpectCorrected(plain.preview, manual.preview, stored);
        ExpectCorrected(plain.exported, manual.exported, stored);
    }
}

} // namespace
