// The process-wide state of the library: the host's imaging manager, the
// global filter watcher, whether the working profiles were set at start-up,
// and the software tag that saves write into files. Set on the host's thread
// at start-up; read from any thread.
#pragma once

#include <string>

class IKelvraManager;
class CTlFileSavingUtilities;

namespace TlvQrfLib {

// Not owned and never released; kept after shut-down.
void SetGlobalManager(IKelvraManager* manager);
IKelvraManager* GetGlobalManager();

} // namespace TlvQrfLib

// The watcher the library owns (null when none).
CTlFileSavingUtilities* GetLibraryWatcher();
// Takes ownership; destroys the one held before.
void SetLibraryWatcher(CTlFileSavingUtilities* watcher);

// Set once the working profiles are in place; the image control sets
// default paths itself while it is not.
bool AreColourPathsReady();
void SetColourPathsReady(bool ready);

// At most kSoftwareTagCapacity - 1 characters; a longer text is cut.
constexpr std::size_t kSoftwareTagCapacity = 128;
std::string GetSoftwareTag();
// Answers the tag held before (a save parks and restores it).
std::string ExchangeSoftwareTag(const std::string& tag);
