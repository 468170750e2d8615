// The red-eye filter on the synthetic face, in 8 and 16 bits: automatic
// detection and correction with its notices, the mode changes, the click
// point, the stored regions, and refilling after an upstream change.
#include "PixelFilterTestSupport.h"
#include "RedEyeTestSupport.h"

using namespace redeye_test;

namespace {

const bool kBothDepths[] = {false, true};

TEST(RedEyeFilterPixelsTest, DetectAutoCorrectsBothPupilsAndAnnouncesEachRegion)
{
    for (bool wide : kBothDepths) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        FaceChain chain(wide);
        ExpectOk(chain.filter.SetMode(1, true));
        ExpectOk(chain.filter.DetectAuto(nullptr, 4096, true));
        EXPECT_EQ(CRedEyeFilter::kModeAutomatic, chain.filter.GetMode());
        const std::vector<ReRegion> regions = chain.filter.GetRegions(false);
        ASSERT_EQ(2u, regions.size());
        EXPECT_EQ(NoticeRectsOf(regions), chain.NoticeRects());
        ExpectPupils(chain.face, chain.Output(), {true, true});

        // Again on the same source: no second detection, but the regions are
        // corrected and announced again.
        ExpectOk(chain.filter.DetectAuto(nullptr, 4096, true));
        EXPECT_EQ(1, RecordingLibrary::detectAuto);
        EXPECT_EQ(2, RecordingLibrary::correct);
        EXPECT_EQ(4u, chain.sink.notices.size());
        ExpectPupils(chain.face, chain.Output(), {true, true});
    }
}

TEST(RedEyeFilterPixelsTest, UpstreamChangeRefillsTheBufferAndCorrectsAgain)
{
    for (bool wide : kBothDepths) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        FaceChain chain(wide);
        ExpectOk(chain.filter.DetectAuto(nullptr, 4096, false));
        ExpectPupils(chain.face, chain.Output(), {true, true});
        const int corrections = RecordingLibrary::correct;

        // Rewrite a band of the source far from the eyes.
        EyemendFace changed = chain.face;
        for (std::size_t at = 0; at < std::size_t(changed.RowBytes()) * 20; ++at)
            changed.pixels[at] = static_cast<unsigned char>(at * 7);
        ExpectOk(KelvraWriteRect(chain.image, KelvraRect(0, 0, changed.width, 20), changed.pixels.data(),
                                 changed.RowBytes()));
        ExpectPupils(changed, chain.Output(), {true, true});
        EXPECT_EQ(corrections + 1, RecordingLibrary::correct);
        EXPECT_EQ(1, RecordingLibrary::detectAuto);
    }
}

// Lists made from stored records: the left pupil automatic, the right one
// manual. Each case starts in `from` with its pixels made, then changes to
// `to` and expects the pupils (left, right) corrected or given back.
TEST(RedEyeFilterPixelsTest, ModeChangesCorrectAndRestoreTheirLists)
{
    const struct {
        int from;
        int to;
        bool keepAutomatic;
        std::array<bool, 2> before;
        std::array<bool, 2> after;
    } cases[] = {
        {0, 2, false, {false, false}, {false, true}}, {0, 2, true, {false, false}, {true, true}},
        {1, 0, false, {true, false}, {false, false}}, {1, 0, true, {true, false}, {false, false}},
        {1, 2, false, {true, false}, {false, true}},  {1, 2, true, {true, false}, {true, true}},
        {2, 0, false, {false, true}, {false, false}}, {2, 0, true, {true, true}, {false, false}},
        {2, 1, true, {true, true}, {true, false}},    {0, 1, false, {false, false}, {false, false}},
    };
    for (bool wide : kBothDepths) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << (wide ? "16 bits " : "8 bits ") << c.from << "->" << c.to
                                            << (c.keepAutomatic ? " keeping automatic" : ""));
            FaceChain chain(wide);
            std::vector<CByteBuffer> automatic{chain.PupilRecord(0)}, manual{chain.PupilRecord(1)};
            ExpectOk(chain.filter.LoadRegions(false, automatic));
            ExpectOk(chain.filter.LoadRegions(true, manual));
            chain.filter.SetKeepAutomatic(c.keepAutomatic);
            ExpectOk(chain.filter.SetMode(c.from, false));
            ExpectPupils(chain.face, chain.Output(), c.before);

            ExpectOk(chain.filter.SetMode(c.to, true));
            EXPECT_EQ(c.to, chain.filter.GetMode());
            ExpectPupils(chain.face, chain.Output(), c.after);
            const std::size_t changed = std::size_t(c.before[0] != c.after[0]) + (c.before[1] != c.after[1]);
            EXPECT_EQ(changed, chain.sink.notices.size());

            chain.sink.notices.clear();
            chain.filter.MarkFresh();
            ExpectOk(chain.filter.SetMode(c.to, true)); // the current mode: nothing at all
            EXPECT_TRUE(chain.sink.notices.empty());
            EXPECT_FALSE(chain.filter.IsStale());
        }
    }
}

TEST(RedEyeFilterPixelsTest, ClickedPupilIsCorrectedAsAManualRegionAndClearingGivesTheSourceBack)
{
    for (bool wide : kBothDepths) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        FaceChain chain(wide);
        const EyemendFace::Disc& pupil = chain.face.pupils[1];
        ASSERT_TRUE(chain.filter.ReFindRedPoint(pupil.x + 2, pupil.y - 1));
        ExpectOk(chain.filter.CorrectAtPoint(true));
        EXPECT_EQ(CRedEyeFilter::kModeManual, chain.filter.GetMode());
        EXPECT_FALSE(chain.filter.HasPendingClick());
        const std::vector<ReRegion> manual = chain.filter.GetRegions(true);
        ASSERT_EQ(1u, manual.size());
        EXPECT_EQ(NoticeRectsOf(manual), chain.NoticeRects());
        ExpectPupils(chain.face, chain.Output(), {false, true});

        ExpectOk(chain.filter.ClearManualRegions(true));
        EXPECT_FALSE(chain.filter.HasManualRegions());
        EXPECT_EQ(chain.face.pixels, chain.Output());
    }
}

// A detection that succeeds without a region: nothing is corrected, merged
// or announced, and the click is used up all the same.
TEST(RedEyeFilterPixelsTest, ClickWhereNothingIsFoundChangesNothing)
{
    FaceChain chain(false);
    RecordingLibrary::nearestFindsNothing = true;
    chain.filter.SetPendingClick(chain.face.pupils[0].x, chain.face.pupils[0].y);
    ExpectOk(chain.filter.CorrectAtPoint(true));
    EXPECT_EQ(1, RecordingLibrary::detectNearest);
    EXPECT_EQ(0, RecordingLibrary::correct);
    EXPECT_FALSE(chain.filter.HasManualRegions());
    EXPECT_FALSE(chain.filter.HasPendingClick());
    EXPECT_TRUE(chain.sink.notices.empty());
    EXPECT_EQ(chain.face.pixels, chain.Output());
}

TEST(RedEyeFilterPixelsTest, ClickPointIsAcceptedOnAPupilOnly)
{
    FaceChain chain(false);
    const EyemendFace& face = chain.face;
    const struct {
        const char* name;
        long x, y;
        bool accepted;
    } clicks[] = {
        {"pupil", face.pupils[0].x, face.pupils[0].y, true},
        {"skin", face.skinPoint.x, face.skinPoint.y, false},
        {"large red disc", face.largeRedDisc.x, face.largeRedDisc.y, false},
        {"left of the picture", -1, face.pupils[0].y, false},
        {"right of the picture", face.width, face.pupils[0].y, false},
        {"below the picture", face.pupils[0].x, face.height, false},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        chain.filter.SetPendingClick(1, 1);
        EXPECT_EQ(click.accepted, chain.filter.ReFindRedPoint(click.x, click.y));
        EXPECT_EQ(click.accepted, chain.filter.HasPendingClick());
        if (click.accepted) {
            EXPECT_EQ(click.x, chain.filter.GetPendingX());
            EXPECT_EQ(click.y, chain.filter.GetPendingY());
        }
    }
    ManagerHolder holder;
    CRedEyeFilter unconnected(holder.manager);
    EXPECT_FALSE(unconnected.ReFindRedPoint(0, 0));
}

TEST(RedEyeFilterPixelsTest, SavedRegionsLoadIntoAnotherFilterAndCorrectTheSamePixels)
{
    for (bool wide : kBothDepths) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        FaceChain first(wide);
        std::vector<CByteBuffer> automatic, manual;
        // A click on the right pupil, stored; then, with it given back, the
        // automatic detection.
        ASSERT_TRUE(first.filter.ReFindRedPoint(first.face.pupils[1].x, first.face.pupils[1].y));
        ExpectOk(first.filter.CorrectAtPoint(false));
        ExpectOk(first.filter.SaveRegions(true, manual, false));
        ASSERT_EQ(1u, manual.size());
        ExpectOk(first.filter.ClearManualRegions(false));
        ExpectOk(first.filter.DetectAuto(nullptr, 4096, false));
        ExpectOk(first.filter.SaveRegions(false, automatic, true));
        ASSERT_EQ(2u, automatic.size());

        FaceChain second(wide);
        ExpectOk(second.filter.LoadRegions(false, automatic));
        ExpectOk(second.filter.LoadRegions(true, manual));
        EXPECT_EQ(first.filter.GetRegions(false).size(), second.filter.GetRegions(false).size());
        ExpectOk(second.filter.SetMode(1, false));
        ExpectPupils(second.face, second.Output(), {true, true});
        ExpectOk(second.filter.SetMode(2, false));
        ExpectPupils(second.face, second.Output(), {false, true});
        EXPECT_EQ(0, RecordingLibrary::detectAuto);
    }
}

TEST(RedEyeFilterPixelsTest, SavingFollowsTheListAndTheDetection)
{
    FaceChain chain(false);
    std::vector<CByteBuffer> records;
    ExpectOk(chain.filter.DetectAuto(nullptr, 4096, false));
    ExpectOk(chain.filter.SaveRegions(false, records, false)); // detected, records empty: every region
    EXPECT_EQ(2u, records.size());
    ExpectOk(chain.filter.SaveRegions(false, records, false)); // records not empty: nothing
    EXPECT_EQ(2u, records.size());
    ExpectOk(chain.filter.SaveRegions(false, records, true)); // all: replaced
    EXPECT_EQ(2u, records.size());

    std::vector<CByteBuffer> manual{chain.PupilRecord(0), chain.PupilRecord(1)};
    ExpectOk(chain.filter.LoadRegions(true, manual));
    std::vector<CByteBuffer> last(1);
    ExpectOk(chain.filter.SaveRegions(true, last, false)); // the last manual region appended
    ASSERT_EQ(2u, last.size());
    EXPECT_EQ(0, last[0].GetSize());
    ASSERT_EQ(manual[1].GetSize(), last[1].GetSize());
    EXPECT_TRUE(std::equal(manual[1].GetData(), manual[1].GetData() + manual[1].GetSize(), last[1].GetData()));
}

TEST(RedEyeFilterPixelsTest, DamagedRecordsAreSkippedAndTheRestLoaded)
{
    FaceChain chain(false);
    const CByteBuffer good = chain.PupilRecord(1);
    std::vector<CByteBuffer> records(4);
    records[0] = good;
    ASSERT_TRUE(records[1].Allocate(good.GetSize() - 1)); // truncated
    records[1].Write(good.GetData(), good.GetSize() - 1);
    records[2] = good; // damaged in its box
    const_cast<unsigned char*>(records[2].GetData())[10] ^= 0x40;
    records[3] = chain.PupilRecord(0);
    ExpectOk(chain.filter.LoadRegions(true, records));
    const std::vector<ReRegion> loaded = chain.filter.GetRegions(true);
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(chain.face.pupils[1].x - chain.face.pupils[1].radius - 1, loaded[0].left);
    EXPECT_EQ(chain.face.pupils[0].x - chain.face.pupils[0].radius - 1, loaded[1].left);
}

// A picture whose buffer could never be had is refused as out of memory,
// whatever the size's low 32 bits say.
TEST(RedEyeFilterPixelsTest, BufferTooLargeForThisProcessIsOutOfMemory)
{
    ManagerHolder holder;
    IKelvraImage* image = MakeBlankImage(holder.manager, 1L << 20, (1L << 20) + 1, kKelvraRGB16);
    CRedEyeFilter filter(holder.manager);
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectError(filter.DetectAuto(nullptr, 4096, false), kKelvraOutOfMemory, TlFilterId("OmRe"));
    KelvraDataDisconnect(image, &filter);
    image->Release();
}

// The first tile fills the working buffer while the others wait for it.
TEST(RedEyeFilterPixelsTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    for (bool wide : kBothDepths) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        FaceChain chain(wide);
        CRedEyeFilter reference(chain.holder.manager), shared(chain.holder.manager);
        for (CRedEyeFilter* filter : {&reference, &shared}) {
            std::vector<CByteBuffer> automatic{chain.PupilRecord(0), chain.PupilRecord(1)};
            ExpectOk(filter->LoadRegions(false, automatic));
            ExpectOk(filter->SetMode(CRedEyeFilter::kModeAutomatic, false));
        }
        pixel_test::ExpectSameTilesOnThreads(reference, shared, chain.image);
        const std::vector<unsigned> corrected = pixel_test::OutputAsOneTile(shared, chain.image);
        EXPECT_NE(ReadAllSamples(chain.image), corrected);
    }
}

} // namespace
