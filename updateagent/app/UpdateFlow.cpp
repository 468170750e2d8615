#include "app/UpdateFlow.h"

#include "app/AgentDialogLook.h"
#include "app/TConfirmDownloadDlg.h"
#include "app/TUpdateCheckDlg.h"
#include "app/TUpdaterDlg.h"
#include "app/UpdateAddresses.h"
#include "net/UpdateChecker.h"
#include "ui/ShowMessageBox.h"

#include <wininet.h>

namespace {
constexpr UINT kInstallerAddressId = 1084;
constexpr UINT kMd5AddressId = 1085;
constexpr UINT kBadAddressText = 1072;
constexpr UINT kNotConnectedText = 1075;
}

bool AgentFlowSteps::IsConnected()
{
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

int AgentFlowSteps::RunCheckDialog(const TWideString& installer, const TWideString& md5File)
{
    TUpdateCheckDlg dialog;
    dialog.Resource() = m_resource;
    dialog.SetAddresses(installer, md5File);
    return dialog.DoModal(TUpdateCheckDlg::kTemplateId, nullptr);
}

unsigned AgentFlowSteps::RunSilentCheck(const TWideString& installer, const TWideString& md5File)
{
    UpdateChecker checker;
    return checker.Check(md5File, installer, nullptr, nullptr);
}

int AgentFlowSteps::RunConfirmDialog()
{
    TConfirmDownloadDlg dialog;
    dialog.Resource() = m_resource;
    return dialog.DoModal(TConfirmDownloadDlg::kTemplateId, nullptr);
}

void AgentFlowSteps::RunUpdaterDialog(const TWideString& installer, const TWideString& md5File)
{
    TUpdaterDlg dialog;
    dialog.Resource() = m_resource;
    dialog.SetInstallerAddress(installer);
    dialog.SetMd5Address(md5File);
    dialog.SetProgramInstance(m_program);
    dialog.DoModal(TUpdaterDlg::kTemplateId, nullptr);
}

void AgentFlowSteps::ShowBox(UINT textId)
{
    ShowAgentBox(m_resource, textId, kBoxError);
}

LoadedAddresses LoadUpdateAddresses(const TResource& resource)
{
    LoadedAddresses addresses;
    addresses.installerLoaded = resource.LoadText(kInstallerAddressId, addresses.installer);
    addresses.md5Loaded = resource.LoadText(kMd5AddressId, addresses.md5File);
    return addresses;
}

bool RunUpdateFlow(const LoadedAddresses& addresses, bool manual, UpdateFlowSteps& steps)
{
    const TWideString& installer = addresses.installer;
    const TWideString& md5File = addresses.md5File;
    if (!UpdateAddressesPass(addresses.installerLoaded, installer, addresses.md5Loaded, md5File)) {
        steps.ShowBox(kBadAddressText);
        return false;
    }
    if (!steps.IsConnected()) {
        if (manual)
            steps.ShowBox(kNotConnectedText);
        return false;
    }
    const bool available = manual ? steps.RunCheckDialog(installer, md5File) == 0
                                  : steps.RunSilentCheck(installer, md5File) == UpdateChecker::kAvailable;
    if (!available)
        return true;
    if (steps.RunConfirmDialog() != 0)
        return true;
    steps.RunUpdaterDialog(installer, md5File);
    return true;
}

bool RunUpdateFlow(HINSTANCE program, const TResource& resource, bool manual)
{
    AgentFlowSteps steps(program, resource);
    return RunUpdateFlow(LoadUpdateAddresses(resource), manual, steps);
}
