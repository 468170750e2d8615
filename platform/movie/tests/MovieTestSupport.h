// Shared by the toolkit's tests: the toolkit loaded the way clients load it,
// a clock the test moves, pictures and sound files to play.
#pragma once

#include "MovieTestInstall.h"
#include "movie/TlMovieClient.h"

#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The test clock's time in 1/600 s; the toolkit reads it while installed.
extern long long g_testClockNow;
long long TestClock();

// Points the registry at the toolkit beside the test program (the value is
// put back afterwards), loads it, opens it and installs the test clock.
class MovieToolkitTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const TlMovieEntry& Movies() const { return m_client.Calls(); }
    // A buffer filled with one colour (blue, green, red).
    TlMovieBuffer* SolidBuffer(long width, long height, std::uint32_t bgr);
    // Blue, green, red of a buffer pixel as 0xBBGGRR.
    std::uint32_t Pixel(TlMovieBuffer* buffer, long x, long y);

    RegistrySandbox m_registry;
    TlMovieClient m_client;
    std::vector<TlMovieBuffer*> m_buffers;
};
