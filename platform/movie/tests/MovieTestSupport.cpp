#include "MovieTestSupport.h"

#include <cstring>

long long g_testClockNow = 0;

long long TestClock()
{
    return g_testClockNow;
}

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

void PutLittle(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

} // namespace

void MovieToolkitTest::SetUp()
{
    m_registry.Preserve(HKEY_LOCAL_MACHINE, kTlMovieRegistryKey, kTlMovieRegistryValue);
    ASSERT_TRUE(StoreText(HKEY_LOCAL_MACHINE, kTlMovieRegistryKey, kTlMovieRegistryValue, ProgramFolder()));
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

std::string WavBytes(int sampleRate, int channels, int bits, double seconds)
{
    const std::uint32_t blockAlign = std::uint32_t(channels * bits / 8);
    const std::uint32_t dataSize = std::uint32_t(sampleRate * seconds) * blockAlign;
    std::string out = "RIFF";
    PutLittle(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    PutLittle(out, 16, 4);
    PutLittle(out, 1, 2);
    PutLittle(out, std::uint32_t(channels), 2);
    PutLittle(out, std::uint32_t(sampleRate), 4);
    PutLittle(out, std::uint32_t(sampleRate) * blockAlign, 4);
    PutLittle(out, blockAlign, 2);
    PutLittle(out, std::uint32_t(bits), 2);
    out += "data";
    PutLittle(out, dataSize, 4);
    out += std::string(dataSize, '\0');
    return out;
}
