#include "MovieTestInstall.h"

#include "movie/TlMovieClient.h"
#include "support/RegistryValues.h"

#include <cstdint>

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

bool InstallMovieToolkitForTest(RegistrySandbox& registry)
{
    registry.Preserve(HKEY_LOCAL_MACHINE, kTlMovieRegistryKey, kTlMovieRegistryValue);
    return StoreText(HKEY_LOCAL_MACHINE, kTlMovieRegistryKey, kTlMovieRegistryValue, ProgramFolder());
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
    // Silence: 0 for 16-bit samples, the middle value for 8-bit ones.
    out += std::string(dataSize, bits == 8 ? char(0x80) : '\0');
    return out;
}
