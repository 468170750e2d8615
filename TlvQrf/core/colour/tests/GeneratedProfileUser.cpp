// One of several processes that share a generated profile, as parallel
// develops do: round after round it provides the profile, opens it in a
// colour engine and checks its bytes, then closes as the library does
// (drops its marks, clears the unused generated profiles). Started by
// GeneratedProfileProcessesTest, which sets the start event (or passes "-")
// so that every process begins at once.
//   tlvqrf_profile_user <profiles folder> <start event | -> <rounds>
// Exit code 0 when every round succeeded; it prints its first failure.
// In place of a round count, "die-writing" or "die-using" make it kill
// itself as a crashed process would: holding the generation lock with a
// temporary file half-written, or holding its mark on the profile.
#include "MakeProfiles/TlProfileMaker.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlGeneratedProfiles.h"
#include "colour/TlGeneratedProfilesLock.h"
#include "colour/TlWorkingProfiles.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "frame/TlProfileFolder.h"
#include "support/SiblingProcess.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kSharedName[] = "shared.icm";
constexpr DWORD kStartWaitMs = 60000;

// Gives the same real profile in every process, so that a file whose bytes
// differ was torn or mixed.
class SharedProfile : public ITlCameraProfileGenerator {
public:
    explicit SharedProfile(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    IKelvraError* GetFileName(const char* prefix, std::string* name) override
    {
        *name = std::string(prefix) + kSharedName;
        return nullptr;
    }
    std::uint32_t GetProfileSize() const override { return std::uint32_t(m_bytes.size()); }
    IKelvraError* Build() override { return nullptr; }
    IKelvraError* Serialise(void* buffer, std::uint32_t size) override
    {
        std::memcpy(buffer, m_bytes.data(), size);
        return nullptr;
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The failure of one round's use of the profile, or empty.
std::string UseProfile(SharedProfile& generator, const std::string& destination)
{
    const std::string path = ProvideGeneratedProfile(&generator);
    if (path.empty())
        return "no profile provided";
    std::unique_ptr<CKelvraFilterCMLEngine> engine(new CKelvraFilterCMLEngine);
    IKelvraError* error = engine->SetProfiles(KelvraFile(path.c_str()), KelvraFile(destination.c_str()), KelvraFile());
    IKelvraError::Release(error);
    if (error)
        return "the colour engine could not open " + path;
    if (ReadAll(path) != generator.Bytes())
        return "the profile read back differs: " + path;
    return std::string();
}

void DieWriting(const std::string& folder)
{
    CTlGeneratedProfilesLock lock;
    char name[32];
    std::snprintf(name, sizeof name, "Tlb_~%08lX.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    std::ofstream(folder + "\\" + name, std::ios::binary) << "half a profile";
    EndAsKilled();
}

void DieUsing(SharedProfile& generator)
{
    if (ProvideGeneratedProfile(&generator).empty())
        ExitProcess(1);
    EndAsKilled();
}

bool AwaitStart(const char* name)
{
    if (std::strcmp(name, "-") == 0)
        return true;
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, name);
    const bool started = start && WaitForSingleObject(start, kStartWaitMs) == WAIT_OBJECT_0;
    if (start)
        CloseHandle(start);
    return started;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tlvqrf_profile_user <profiles folder> <start event | -> <rounds>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string what = argv[3];
    SetProfileFolder(folder.c_str());
    SetGeneratedProfilePrefix("Tlb_");
    std::vector<std::uint8_t> bytes;
    IKelvraError* error = TlBuildProfile("TLsRGB.icm", &bytes);
    IKelvraError::Release(error);
    if (error || !AwaitStart(argv[2])) {
        std::fprintf(stderr, "profile user %lu: could not begin\n", GetCurrentProcessId());
        return 1;
    }
    SharedProfile generator(std::move(bytes));
    if (what == "die-writing")
        DieWriting(folder);
    if (what == "die-using")
        DieUsing(generator);

    const std::string destination = GetProfileFolderPath() + "TLsRGB.icm";
    const int rounds = std::atoi(what.c_str());
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string failure = UseProfile(generator, destination);
        if (!failure.empty() && failures++ == 0)
            std::fprintf(stderr, "profile user %lu, round %d: %s\n", GetCurrentProcessId(), round, failure.c_str());
        // As the library closes.
        ReleaseGeneratedProfileHolds();
        DeleteGeneratedProfiles("Tlb_");
    }
    return failures == 0 ? 0 : 1;
}
