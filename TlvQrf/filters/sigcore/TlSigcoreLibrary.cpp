#include "filters/sigcore/TlSigcoreLibrary.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace {

struct LibraryState {
    std::mutex lock;
    long users = 0;
    HMODULE module = nullptr;
    SigProcExFn entry = nullptr;
    long unloads = 0;
    std::string name = "Sigcore.dll";
};

LibraryState& State()
{
    static LibraryState state;
    return state;
}

void UnloadLocked(LibraryState& state)
{
    if (!state.module)
        return;
    FreeLibrary(state.module);
    state.module = nullptr;
    state.entry = nullptr;
    ++state.unloads;
}

} // namespace

void CSigcoreLibrary::AddUser()
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    ++state.users;
}

void CSigcoreLibrary::RemoveUser()
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.users > 0 && --state.users == 0)
        UnloadLocked(state);
}

IKelvraError* CSigcoreLibrary::GetEntry(KelvraTag tag, SigProcExFn* entry)
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.module) {
        HMODULE module = LoadLibraryA(state.name.c_str());
        if (!module)
            return KELVRA_ERROR(nullptr, tag, kKelvraOperationFailed);
        auto found = reinterpret_cast<SigProcExFn>(reinterpret_cast<void*>(GetProcAddress(module, "sig_proc_ex")));
        if (!found) {
            FreeLibrary(module);
            return KELVRA_ERROR(nullptr, tag, kKelvraOperationFailed);
        }
        state.module = module;
        state.entry = found;
    }
    *entry = state.entry;
    return nullptr;
}

bool CSigcoreLibrary::IsLoaded()
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.module != nullptr;
}

long CSigcoreLibrary::UnloadCount()
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.unloads;
}

void CSigcoreLibrary::SetLibraryName(const char* name)
{
    LibraryState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.name = name ? name : "Sigcore.dll";
}
