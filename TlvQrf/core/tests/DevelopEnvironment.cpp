#include "DevelopEnvironment.h"

#include "MakeCalibration/TlCalibrationMaker.h"
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "camera/TlCameraTables.h"
#include "chain/TlCadraFilterChain.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlWorkingProfiles.h"
#include "export/TlExport.h"
#include "lib/TlLibraryState.h"
#include "load/TlLiveObjects.h"
#include "params/TlvParamSetMaker.h"

namespace {

bool Succeeded(IKelvraError* error)
{
    IKelvraError::Release(error);
    return error == nullptr;
}

} // namespace

QrfRawOptions SceneOptions(long width, long height)
{
    QrfRawOptions options;
    options.model = 258;
    options.width = width;
    options.height = height;
    return options;
}

bool ShowPreviewAt(CTlvQrfControl& control, std::uint32_t width, std::uint32_t height,
                   std::uint32_t bytesPerChannel)
{
    TlvQrfLib::strTlnImageInfoParam info{};
    info.size = sizeof info;
    if (!Succeeded(control.GetImageInfo(&info)))
        return false;
    info.width = width;
    info.height = height;
    info.bytesPerChannel = bytesPerChannel;
    return Succeeded(control.SetImageInfo(&info, false));
}

CDevelopEnvironment::CDevelopEnvironment()
{
    IKelvraManager* manager = nullptr;
    if (!Succeeded(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager)))
        return;
    m_manager.reset(manager);
    TlvQrfLib::SetGlobalManager(manager);
    InstallObjectRegistry();
    InstallParamSetMaker();
    m_oldFactory = SetPreviewChainFactory(&CreateCadraFilterChain);
    m_oldExport = SetExportImageHook(&ExportImage);
    m_ready = m_profiles.IsReady() && WriteProfilesFolder();
    m_watcher.reset(new CTlFileSavingUtilities());
}

CDevelopEnvironment::~CDevelopEnvironment()
{
    m_watcher.reset();
    // As the library's close: the profiles folder can go with its profiles.
    ReleaseGeneratedProfileHolds();
    SetColourPathsReady(false);
    SetPreviewChainFactory(m_oldFactory);
    SetExportImageHook(m_oldExport);
}

bool CDevelopEnvironment::WriteProfilesFolder()
{
    const std::string& folder = m_profiles.Path();
    if (!Succeeded(TlWriteProfiles(folder.c_str())) || !TlWriteCalibrations(folder))
        return false;
    std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
    if (tables == nullptr)
        return false;
    m_profiles.Write(kTlCameraTablesFile, TlSerialiseCameraTables(*tables));
    SetProfileFolder(folder.c_str());
    SetGeneratedProfilePrefix("Tlb_");
    m_output = folder + "TLsRGB.icm";
    const std::string cmyk = folder + "TLCMYK.icm", monitor = folder + "TLMonitor_Win.icm";
    if (SetWorkingProfiles(m_output.c_str(), cmyk.c_str(), nullptr, monitor.c_str(), nullptr) != 1)
        return false;
    // As after the library's start-up: controls keep these profiles.
    SetColourPathsReady(true);
    return true;
}

std::string CDevelopEnvironment::WriteRaw(const std::string& name, const QrfRawOptions& options) const
{
    const std::string path = m_files.File(name);
    return Succeeded(QrfWriteRaw(options, path.c_str())) ? path : std::string();
}

SOpenedRaw CDevelopEnvironment::Open(const std::string& path) const
{
    SOpenedRaw opened;
    ITlvQrfData* data = nullptr;
    if (CreateQrfControl(&data) != 0 || data == nullptr)
        return opened;
    opened.control.reset(static_cast<CTlvQrfControl*>(data));
    CTlvImageAttributes* attributes = data->GetImageAttributes();
    if (!LoadInto(*attributes, path) ||
        !Succeeded(data->Initialize(Manager(), attributes->images.image, attributes->images.tags)))
        opened.control.reset();
    return opened;
}
