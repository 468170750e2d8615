#include "MovieTestSupport.h"


long long g_testClockNow = 0;

long long TestClock()
{
    return g_testClockNow;
}


void MovieToolkitTest::SetUp()
{
    ASSERT_TRUE(InstallMovieToolkitForTest(m_registry));
    ASSERT_TRUE(m_client.Load());
    ASSERT_EQ(kTlMovieOk, Movies().Open());
    g_testClockNow = 1000;
    Movies().SetClock(&TestClock);
}

void MovieToolkitTest::TearDown()
{
    if (!m_client.IsLoaded())
        return;
    for (TlMovieBuffer* buffer : m_buffers)
        Movies().DisposeBuffer(buffer);
    Movies().SetClock(nullptr);
    Movies().Close();
}

TlMovieBuffer* MovieToolkitTest::SolidBuffer(long width, long height, std::uint32_t bgr)
{
    TlMovieBuffer* buffer = nullptr;
    EXPECT_EQ(kTlMovieOk, Movies().NewBuffer(width, height, kTlMovieBGR24, &buffer));
    if (buffer == nullptr)
        return nullptr;
    m_buffers.push_back(buffer);
    long rowBytes = 0;
    std::uint8_t* pixels = Movies().BufferPixels(buffer, &rowBytes);
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            std::uint8_t* p = pixels + y * rowBytes + 3 * x;
            p[0] = std::uint8_t(bgr >> 16);
            p[1] = std::uint8_t(bgr >> 8);
            p[2] = std::uint8_t(bgr);
        }
    return buffer;
}

std::uint32_t MovieToolkitTest::Pixel(TlMovieBuffer* buffer, long x, long y)
{
    long rowBytes = 0;
    const std::uint8_t* p = Movies().BufferPixels(buffer, &rowBytes) + y * rowBytes + 3 * x;
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}
