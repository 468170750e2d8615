// The sequencer against the real movie toolkit on a test clock and the
// scripted host's picture items.
#include "ShowFixture.h"

#include "SlideshowMessages.h"

#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// "T" for a transition, "P" for a picture, "M" for a movie.
std::string Layout(const SlideshowSequencer& show)
{
    std::string layout;
    for (const auto& item : show.Items())
        layout += item->IsTransition() ? 'T' : item->IsMovie() ? 'M' : 'P';
    return layout;
}

using SequencerTest = ShowFixture;

TEST_F(SequencerTest, LayoutAndNeighboursWithAndWithoutLoop)
{
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "loop" : "no loop");
        m_settings.ClearRecords();
        m_settings.loop = loop;
        MakeShow({{kRed}, {kGreen, kShowItemMovie}, {kBlue}});
        const SlideshowSequencer& show = Show();
        EXPECT_EQ("TPTMTPT", Layout(show));
        EXPECT_EQ(3u, show.RecordCount());
        const TimedItem* blank = show.Blank();
        const auto* first = static_cast<const TimedItem*>(show.Items()[1].get());
        const auto* last = static_cast<const TimedItem*>(show.Items()[5].get());
        EXPECT_EQ(blank, show.OutgoingOf(0));
        EXPECT_EQ(first, show.IncomingOf(0));
        // The movie stands as the blank item on both of its sides.
        EXPECT_EQ(blank, show.IncomingOf(2));
        EXPECT_EQ(blank, show.OutgoingOf(4));
        EXPECT_EQ(last, show.IncomingOf(4));
        EXPECT_EQ(last, show.OutgoingOf(6));
        EXPECT_EQ(loop ? first : blank, show.IncomingOf(6));
        TearDown();
        SetUp();
    }
    m_settings.ClearRecords();
    MakeShow({{kRed}});
    EXPECT_EQ("TPT", Layout(Show()));
}

TEST_F(SequencerTest, NoEffectSkipsEveryTransition)
{
    m_settings.transitionKind = kTransitionNone;
    MakeShow({{kRed}, {kGreen}, {kBlue}});
    bool ended = false;
    const std::vector<int> shown = Run(100, 400, &ended);
    EXPECT_TRUE(ended);
    // T0 is taken once at the start without playing anything; then only pictures.
    EXPECT_EQ(std::vector<int>({0, 1, 3, 5}), shown);
}

TEST_F(SequencerTest, ARunWithoutLoopEndsAfterTheLastTransition)
{
    MakeShow({{kRed}, {kGreen}, {kBlue}});
    bool ended = false;
    const std::vector<int> shown = Run(50, 2000, &ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 5, 6}), shown);
    EXPECT_EQ(3, Show().SlideNumber());
}

TEST_F(SequencerTest, ARunWithLoopGoesOnAtTheFirstPictureAndRestartsTheMusic)
{
    m_settings.loop = true;
    m_settings.sound = true;
    m_settings.selectedMusic = MakeWav(3.0);
    MakeShow({{kRed}, {kGreen}});
    ASSERT_NE(nullptr, Show().Music());
    bool ended = false;
    const std::vector<int> shown = Run(50, 600, &ended);
    EXPECT_FALSE(ended);
    ASSERT_GE(shown.size(), 8u);
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 1, 2, 3}), std::vector<int>(shown.begin(), shown.begin() + 8));
    // 600 steps of 50 units are 30000 units: the 1800-unit song ran many times over.
    EXPECT_FALSE(Movies().IsMovieDone(Show().Music()->Movie()));
    EXPECT_LT(Movies().GetTime(Show().Music()->Movie()), 1800);
}

TEST_F(SequencerTest, MatchingTheSongKeepsTheLastPictureUntilTheSongEnds)
{
    m_settings.matchSound = true;
    m_settings.sound = true;
    m_settings.transitionKind = kTransitionNone;
    m_settings.selectedMusic = MakeWav(60.0);
    MakeShow({{kRed}, {kGreen}});
    bool ended = false;
    std::vector<int> shown = Run(100, 200, &ended);
    EXPECT_FALSE(ended);
    EXPECT_EQ(3, shown.back());
    // The song (36000 units) ends: then the show does.
    shown = Run(1000, 60, &ended);
    EXPECT_TRUE(ended);
}

TEST_F(SequencerTest, SlideDurationFollowsTheSong)
{
    m_settings.matchSound = true;
    m_settings.sound = true;
    m_settings.selectedMusic = MakeWav(60.0);
    MakeShow(std::vector<ShowItem>(10, {kRed}));
    // No item current yet: the image duration.
    EXPECT_EQ(600, Show().SlideDuration());
    // T0 becomes current once both its pictures are prepared; the clock stands still.
    Run(0, 20);
    ASSERT_NE(nullptr, Show().Current());
    EXPECT_EQ(0, Show().CurrentIndex());
    EXPECT_EQ(600, Show().SlideDuration());
    Show().StepForward();
    ASSERT_EQ(1, Show().CurrentIndex());
    // (36000 - 11 x 1200) div 10 = 2280, x 0.9.
    EXPECT_EQ(2052, Show().SlideDuration());
    EXPECT_EQ(2052, Show().Current()->Length());
}

TEST_F(SequencerTest, MatchingTheSongWithoutMusicUsesTheImageDuration)
{
    m_settings.matchSound = true;
    m_settings.sound = false;
    MakeShow({{kRed}, {kGreen}});
    Show().StepForward();
    EXPECT_EQ(600, Show().SlideDuration());
}

TEST_F(SequencerTest, MusicThatCannotBePlayedLeavesTheShowWithout)
{
    const std::string notSound = m_folder.Write("notes.txt", "not a sound at all");
    for (const std::string& path : {m_folder.File("gone.wav"), notSound}) {
        m_settings.ClearRecords();
        m_settings.sound = true;
        m_settings.selectedMusic = path;
        MakeShow({{kRed}});
        EXPECT_EQ(nullptr, Show().Music()) << path;
        bool ended = false;
        Run(100, 300, &ended);
        EXPECT_TRUE(ended) << path;
        TearDown();
        SetUp();
    }
}

TEST_F(SequencerTest, PausingHoldsThePictureAndItsTimeUntilResumed)
{
    m_settings.sound = true;
    m_settings.selectedMusic = MakeWav(30.0);
    MakeShow({{kRed}, {kGreen}});
    Show().StepForward();
    ASSERT_EQ(1, Show().CurrentIndex());
    Run(0, 3);
    g_showClock += 200;
    Show().Pause();
    EXPECT_TRUE(Show().IsPaused());
    const long pictureTime = Movies().GetTime(Show().Current()->Movie());
    const long musicTime = Movies().GetTime(Show().Music()->Movie());
    Run(1000, 20);
    EXPECT_EQ(1, Show().CurrentIndex());
    EXPECT_EQ(pictureTime, Movies().GetTime(Show().Current()->Movie()));
    EXPECT_EQ(musicTime, Movies().GetTime(Show().Music()->Movie()));
    Show().Resume(true);
    EXPECT_FALSE(Show().IsPaused());
    g_showClock += 100;
    EXPECT_EQ(pictureTime + 100, Movies().GetTime(Show().Current()->Movie()));
    EXPECT_EQ(musicTime + 100, Movies().GetTime(Show().Music()->Movie()));
}

TEST_F(SequencerTest, SettingMusicPlaysItAtOnceWhileTheShowRuns)
{
    MakeShow({{kRed}, {kGreen}});
    Run(50, 30);
    ASSERT_NE(nullptr, Show().Current());
    Show().SetMusic(MakeWav(5.0).c_str());
    EXPECT_TRUE(m_settings.sound);
    ASSERT_NE(nullptr, Show().Music());
    g_showClock += 300;
    EXPECT_EQ(300, Movies().GetTime(Show().Music()->Movie()));
    Show().SetMusic(nullptr);
    EXPECT_FALSE(m_settings.sound);
    EXPECT_EQ(nullptr, Show().Music());
    // Set while paused, the music is only opened.
    Show().Pause();
    Show().SetMusic(MakeWav(4.0).c_str());
    ASSERT_NE(nullptr, Show().Music());
    g_showClock += 300;
    EXPECT_EQ(0, Movies().GetTime(Show().Music()->Movie()));
}

TEST_F(SequencerTest, JumpsSkipTransitionsAndStopAtTheEnds)
{
    MakeShow({{kRed}, {kGreen}, {kBlue}});
    Show().StepForward();
    EXPECT_EQ(1, Show().CurrentIndex());
    Show().StepForward();
    EXPECT_EQ(3, Show().CurrentIndex());
    EXPECT_EQ(2, Show().SlideNumber());
    EXPECT_EQ(kGreen, FrameColour(0, 80, 60));
    Show().StepForward();
    EXPECT_EQ(5, Show().CurrentIndex());
    Show().StepForward();
    EXPECT_EQ(5, Show().CurrentIndex());
    Show().StepBack();
    Show().StepBack();
    EXPECT_EQ(1, Show().CurrentIndex());
    EXPECT_EQ(1, Show().SlideNumber());
    Show().StepBack();
    EXPECT_EQ(1, Show().CurrentIndex());
    EXPECT_EQ(kRed, FrameColour(0, 80, 60));
    // The picture sits centred on the background.
    EXPECT_EQ(0x000000u, FrameColour(0, 10, 10));
}

TEST_F(SequencerTest, AJumpBeforeTheFirstStepStartsTheMusicUnlessPaused)
{
    for (bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "playing");
        m_settings.ClearRecords();
        m_settings.sound = true;
        m_settings.selectedMusic = MakeWav(5.0);
        MakeShow({{kRed}, {kGreen}});
        ASSERT_NE(nullptr, Show().Music());
        if (paused)
            Show().Pause();
        Show().StepForward();
        ASSERT_EQ(1, Show().CurrentIndex());
        g_showClock += 300;
        EXPECT_EQ(paused ? 0 : 300, Movies().GetTime(Show().Music()->Movie()));
        if (paused) {
            Show().Resume(false);
            g_showClock += 200;
            EXPECT_EQ(200, Movies().GetTime(Show().Music()->Movie()));
        }
        // The steps after the jump go on with the song rather than start it again.
        Run(50, 4);
        EXPECT_EQ(paused ? 400 : 500, Movies().GetTime(Show().Music()->Movie()));
        TearDown();
        SetUp();
    }
}

TEST_F(SequencerTest, APictureBuiltForAnotherSlideAreaIsBuiltAgain)
{
    // Long slides: while one shows, the next ones are prepared ahead.
    m_settings.imageDuration = 6000;
    MakeShow({{kRed}, {kGreen}, {kBlue}});
    Show().StepForward();
    Run(50, 20);
    ASSERT_EQ(1, Show().CurrentIndex());
    auto* second = static_cast<SlideItem*>(Show().Items()[3].get());
    auto* third = static_cast<SlideItem*>(Show().Items()[5].get());
    ASSERT_TRUE(second->IsPlayable());
    ASSERT_TRUE(third->IsPlayable());
    EXPECT_FALSE(second->NeedsRebuild());

    // Showing or hiding the toolbar changes the slide area under the built movies.
    Show().SetShowWindows(Show().Frame(), Show().SlideWindow(), {0, 0, 200, 150});
    EXPECT_TRUE(second->NeedsRebuild());
    EXPECT_TRUE(third->NeedsRebuild());
    // A jump rebuilds the picture it lands on.
    Show().StepForward();
    ASSERT_EQ(3, Show().CurrentIndex());
    EXPECT_FALSE(second->NeedsRebuild());
    // Centred in the larger area the 64 x 48 picture covers 68..131 by 51..98.
    EXPECT_EQ(kGreen, FrameColour(0, 130, 97));
    EXPECT_EQ(0x000000u, FrameColour(0, 66, 49));

    // Preparing ahead rebuilds the next picture before it is shown.
    Run(50, 20);
    ASSERT_EQ(3, Show().CurrentIndex());
    EXPECT_FALSE(third->NeedsRebuild());
    EXPECT_TRUE(third->IsPlayable());
    Show().StepForward();
    ASSERT_EQ(5, Show().CurrentIndex());
    EXPECT_EQ(kBlue, FrameColour(0, 130, 97));
}

TEST_F(SequencerTest, AtMostOneMovieIsBuiltOrOpenedPerPreparingStep)
{
    MakeShow({{kRed}, {kGreen}, {kBlue}, {kRed}});
    int work = 0;
    for (int i = 0; i < 40; ++i) {
        Show().Step();
        EXPECT_LE(Show().LastPreparedWork(), 1);
        work += Show().LastPreparedWork();
    }
    EXPECT_GT(work, 1);
}

TEST_F(SequencerTest, ReloadingAnUnknownItemIsNotFound)
{
    MakeShow({{kRed}});
    EXPECT_EQ(TLV_ERR_NOT_FOUND, Show().ReloadItem(77, nullptr));
    EXPECT_EQ(TLV_OK, Show().ReloadItem(1, nullptr));
    EXPECT_TRUE(static_cast<SlideItem*>(Show().Items()[1].get())->HasImage());
}

TEST_F(SequencerTest, APictureThatCannotBeHadShowsTheBackgroundAndTheShowGoesOn)
{
    MakeShow({{kRed}, {0, kShowItemPicture, true}, {kBlue}});
    bool ended = false;
    const std::vector<int> shown = Run(50, 2000, &ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 5, 6}), shown);
    auto* missing = static_cast<SlideItem*>(Show().Items()[3].get());
    EXPECT_NE(0u, missing->LoadError());
    // The host was asked for the image, for loading ahead.
    const auto asked = m_host->CallsWithCode(TLV_MSG_LOAD_ITEM_IMAGE);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(TlvWord(2), asked[0].words[1]);
    EXPECT_EQ(TlvWord(4), asked[0].words[6]);
    EXPECT_EQ(TlvWord(kSlideReplyImageLoad), asked[0].words[8]);
}

TEST_F(SequencerTest, HostRequestsCarryTheirWords)
{
    MakeShow({{kRed}, {kGreen}});
    auto* slide = static_cast<SlideItem*>(Show().Items()[3].get());
    HWND frame = Show().Frame();

    EXPECT_EQ(TLV_OK, slide->Rotate(270));
    const auto rotate = m_host->CallsWithCode(kSlideMsgRotate);
    ASSERT_EQ(1u, rotate.size());
    EXPECT_EQ(TlvWord(2), rotate[0].words[1]);
    EXPECT_EQ(TlvWord(0), rotate[0].words[2]);
    EXPECT_EQ(TlvWord(1), rotate[0].words[4]);
    EXPECT_EQ(TlvWord(TLV_TYPE_INT), rotate[0].words[5]);
    EXPECT_EQ(TlvWord(4), rotate[0].words[6]);
    EXPECT_EQ(TlvWord(kSlideReplyRotate), rotate[0].words[8]);

    EXPECT_EQ(TLV_OK, slide->RunEditFunction(kSlideEditRedEye, frame));
    const auto run = m_host->CallsWithCode(TLV_MSG_RUN_FUNCTION);
    ASSERT_EQ(1u, run.size());
    EXPECT_EQ(TlvWord(kSlideEditRedEye), run[0].words[1]);
    EXPECT_EQ(TlvWord(1), run[0].words[4]);
    EXPECT_EQ(TlvWord(TLV_TYPE_ITEM_IDS), run[0].words[5]);
    EXPECT_EQ(reinterpret_cast<TlvWord>(frame), run[0].words[7]);
    EXPECT_EQ(TlvWord(kSlideshowFunctionId), run[0].words[8]);

    EXPECT_FALSE(slide->IsMarked());
    EXPECT_EQ(TLV_OK, slide->SetMark(true));
    EXPECT_TRUE(slide->IsMarked());
    EXPECT_EQ(TLV_ERR_UNSUPPORTED_SOURCE, slide->SetMark(true));
    const auto marks = m_host->CallsWithCode(kSlideMsgUpdateSourceData);
    ASSERT_EQ(1u, marks.size());
    EXPECT_EQ(TlvWord(TLV_TYPE_SOURCE_DATA), marks[0].words[5]);
    EXPECT_EQ(TlvWord(16), marks[0].words[7]);
    EXPECT_EQ(TLV_OK, slide->SetMark(false));
    EXPECT_FALSE(slide->IsMarked());
}

TEST_F(SequencerTest, TheOverlaySettingRebuildsTheCurrentPicture)
{
    MakeShow({{kRed}});
    Show().StepForward();
    auto* slide = static_cast<SlideItem*>(Show().Items()[1].get());
    EXPECT_FALSE(slide->OverlayDrawn());
    EXPECT_EQ(kRed, FrameColour(0, 105, 80));
    Show().SetShowFileInfo(true);
    EXPECT_TRUE(slide->OverlayDrawn());
    ASSERT_NE(nullptr, slide->Movie());
    // The lower right of the picture now lies under the darkened box.
    EXPECT_EQ(std::uint32_t((255 * 155 + 127) / 255) << 16, FrameColour(0, 105, 80));
    Show().SetShowFileInfo(false);
    EXPECT_FALSE(slide->OverlayDrawn());
    EXPECT_EQ(kRed, FrameColour(0, 105, 80));
}

TEST_F(SequencerTest, AMovieOfTheShowPlaysItsOwnFileWithTheOverlayOverIt)
{
    m_settings.showFileInfo = true;
    MakeShow({{kRed}, {kGreen, kShowItemMovie}});
    Show().StepForward();
    Show().StepForward();
    ASSERT_EQ(3, Show().CurrentIndex());
    MediaItem* movie = Show().Current();
    ASSERT_TRUE(movie->IsMovie());
    EXPECT_EQ(1200, movie->Length());
    EXPECT_EQ(kGreen, FrameColour(0, 10, 10));
    movie->Redraw();
    HDC dc = GetDC(Show().SlideWindow());
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 10, 10));
    // Inside the darkened box at the lower right.
    EXPECT_EQ(RGB(0, (255 * 155 + 127) / 255, 0), GetPixel(dc, 140, 100));
    ReleaseDC(Show().SlideWindow(), dc);
}

TEST_F(SequencerTest, TransitionPositionsAndRandomEffects)
{
    MakeShow({{kRed}, {kGreen}});
    Show().SetTransition(11);
    EXPECT_EQ(11, Show().CurrentTransitionPosition());
    Show().SetTransition(18);
    EXPECT_EQ(18, Show().CurrentTransitionPosition());
    bool ended = false;
    Run(50, 2000, &ended);
    EXPECT_TRUE(ended);
    auto* transition = static_cast<TransitionItem*>(Show().Items()[2].get());
    EXPECT_NE(kTransitionRandom, transition->Kind());
    EXPECT_NE(kTransitionNone, transition->Kind());
}

TEST_F(SequencerTest, NoTemporaryMovieIsLeftWhenTheShowEnds)
{
    MakeShow({{kRed}, {kGreen}});
    Run(50, 2000);
    Show().Finish();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    for (const std::string& name : TempFolder::Matching(std::string(folder) + "tlss*.tmp"))
        ADD_FAILURE() << name;
}

} // namespace
