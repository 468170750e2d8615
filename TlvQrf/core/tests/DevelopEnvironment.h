// The library set up as a host's process has it, for tests and benchmarks
// that develop synthetic raw files end to end: a profiles folder of its own
// with the synthetic profiles, calibration curves and camera tables, the
// working profiles in it, the file watcher that owns the colour engines and
// gamma caches, a global imaging manager, the live-object registries, the
// parameter-set maker, the real preview chain and the export that saves run.
// Raw files and exports go
// into a temporary folder that goes with the environment. The profiles
// folder is put in force through "CommonFilesDir", which every process of
// the prefix reads: environments of different processes take turns.
#pragma once

#include "control/TlvQrfControl.h"
#include "DevelopLoad.h"
#include "qrfsynth/QrfSynthFile.h"
#include "save/TlSaveWriters.h"
#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <memory>
#include <string>

// A camera (model 258) whose mosaic the raw-file maker stores as the
// camera does, `width` x `height`.
QrfRawOptions SceneOptions(long width, long height);

// What a host does to show the preview at another size or depth: the image
// information's display size (its longer side counts) and bytes per
// channel. False when the control refuses them.
bool ShowPreviewAt(CTlvQrfControl& control, std::uint32_t width, std::uint32_t height,
                   std::uint32_t bytesPerChannel);

struct DestroyControl {
    void operator()(CTlvQrfControl* control) const { control->Destroy(); }
};
using ControlPtr = std::unique_ptr<CTlvQrfControl, DestroyControl>;

struct SOpenedRaw {
    // Holds the loaded image and tags in its image attributes.
    ControlPtr control;
};

class CDevelopEnvironment {
public:
    CDevelopEnvironment();
    ~CDevelopEnvironment();
    CDevelopEnvironment(const CDevelopEnvironment&) = delete;
    CDevelopEnvironment& operator=(const CDevelopEnvironment&) = delete;

    // False when a profile, curve or table could not be written.
    bool IsReady() const { return m_ready; }
    IKelvraManager* Manager() const { return m_manager.get(); }
    // The RGB working profile, which exports convert to by default.
    const std::string& OutputProfile() const { return m_output; }
    const TempFolder& Files() const { return m_files; }

    // A synthetic raw file written as `name` into Files(); empty on failure.
    std::string WriteRaw(const std::string& name, const QrfRawOptions& options) const;
    // As a host opens a raw file: a new image control, the file at `path`
    // loaded into its image attributes, the control initialised with the
    // loaded image and tags; the control is null when a step fails.
    SOpenedRaw Open(const std::string& path) const;

private:
    bool WriteProfilesFolder();

    TempProfilesFolder m_profiles;
    TempFolder m_files;
    std::string m_output;
    QrfManagerPtr m_manager;
    std::unique_ptr<CTlFileSavingUtilities> m_watcher;
    TlPreviewChainFactory m_oldFactory = nullptr;
    TlExportImageHook m_oldExport = nullptr;
    bool m_ready = false;
};
