// A show against the real movie toolkit (found through the registry, on a
// clock the test moves) and the scripted host with picture items.
#pragma once

#include "PlayerHost.h"
#include "ShowWindowStandIn.h"
#include "SlideshowSequencer.h"
#include "SlideshowSettings.h"

#include "TlHost.h"
#include "movie/TlMovieClient.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

extern long long g_showClock;

struct ShowItem {
    std::uint32_t rgb;        // 0xRRGGBB of the whole picture
    int kind = kShowItemPicture;
    bool missing = false;     // a path with no file behind it
};

class ShowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Pictures of 64 x 48 in one colour each, as host items 1, 2, ...; then
    // the settings' show records for them and a sequencer built from them
    // in a stand-in window with a slide area of 160 x 120.
    void MakeShow(const std::vector<ShowItem>& items);
    SlideshowSequencer& Show() { return *m_sequencer; }
    const TlMovieEntry& Movies() const { return m_client.Calls(); }
    // Steps until the show answers 1 or `limit` steps passed, moving the
    // clock by `tick` after each; answers the indices made current, in order.
    std::vector<int> Run(long tick, int limit, bool* ended = nullptr);
    // A movie of one colour, 160 x 120, 1200 units long, at `path`.
    bool WriteSolidMovie(const std::string& path, std::uint32_t rgb);
    // A WAV file of `seconds` in the temporary folder.
    std::string MakeWav(double seconds);
    // The colour (0xRRGGBB) at a point of the slide area in a frame of the current item.
    std::uint32_t FrameColour(long time, long x, long y);

    RegistrySandbox m_registry;
    TempFolder m_folder;
    TlMovieClient m_client;
    SlideshowSettings m_settings;
    SlideshowPlayerHost m_playerHost;
    std::unique_ptr<CTlHost> m_host;
    ITlvItemService* m_items = nullptr;
    std::unique_ptr<ShowWindowStandIn> m_window;
    std::unique_ptr<SlideshowSequencer> m_sequencer;
};

// A picture file of one colour; true when it was written.
bool WriteSolidPicture(const std::string& path, long width, long height, std::uint32_t rgb);
