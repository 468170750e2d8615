#include "app/TUpdaterDlg.h"

#include "app/AgentDialogLook.h"
#include "files/FileHelpers.h"
#include "install/InstallerFile.h"
#include "net/UpdateChecker.h"
#include "ui/ShowMessageBox.h"

#include <cstring>
#include <memory>

namespace {
const TWorkerDialog::Layout kLayout = {1036, 1076, 1037, TUpdaterDlg::kFinishMessage, 0, true};
constexpr UINT kNotVerifiedText = 1080;
constexpr std::size_t kDigestLength = 32;
}

TUpdaterDlg::TUpdaterDlg() : TWorkerDialog(kLayout) {}

TUpdaterDlg::~TUpdaterDlg()
{
    StopWorker();
}

UINT TUpdaterDlg::TextForResult(unsigned result)
{
    switch (result) {
    case UrlDownloader::kRefused:
        return 1072;
    case UrlDownloader::kCannotCreate:
        return 1074;
    case UrlDownloader::kConnectFailure:
        return 1078;
    case UrlDownloader::kTransferFailure:
        return 1079;
    case UrlDownloader::kCancelled:
        return 1077;
    default:
        return 0;
    }
}

int TUpdaterDlg::ProgressMaximum()
{
    return static_cast<int>(GetContentLength(m_installerAddress));
}

void TUpdaterDlg::DownloadFiles(void* target)
{
    auto* text = new TWideString();
    TPath folder;
    GetWorkingFolder(folder);
    unsigned result = m_downloader.Download(m_md5Address, folder, m_md5Path, nullptr, nullptr);
    if (result == UrlDownloader::kDone)
        result = m_downloader.Download(m_installerAddress, folder, m_installerPath, &TUpdaterDlg::OnDownloadProgress,
                                       target);
    if (const UINT textId = TextForResult(result))
        Resource().LoadText(textId, *text);
    InterlockedExchange(&m_result, static_cast<LONG>(result));
    PostFinish(text);
}

void TUpdaterDlg::OnDownloadProgress(DWORD bytes, void* target)
{
    PostProgress(static_cast<int>(bytes), target);
}

// Success is the result number, not the text: a failure whose text the
// language library lacks still ends as a failure, with a box.
void TUpdaterDlg::Finish(TWideString* text)
{
    const LONG result = InterlockedCompareExchange(&m_result, 0, 0);
    if (result != UrlDownloader::kDone) {
        TWideString caption;
        Resource().LoadText(kAgentCaptionId, caption);
        ShowMessageBox(caption, *text, result == UrlDownloader::kCancelled ? kBoxInformation : kBoxError, nullptr);
        delete text;
        EndModal(0);
        return;
    }
    delete text;
    std::string digest;
    if (!ReadExpectedDigest(digest)) {
        ShowFailure(kNotVerifiedText, kBoxError);
        EndModal(0);
        return;
    }
    DeletePath(m_md5Path);
    if (!VerifyAndStart(digest))
        ShowFailure(kNotVerifiedText, kBoxError);
    EndModal(0);
}

bool TUpdaterDlg::ReadExpectedDigest(std::string& digest) const
{
    std::unique_ptr<char[]> content;
    if (!ReadWholeFile(m_md5Path, content) || !content || std::strlen(content.get()) < kDigestLength)
        return false;
    digest.assign(content.get(), kDigestLength);
    return true;
}

// The installer stays held against writers from its digest until its start.
bool TUpdaterDlg::VerifyAndStart(const std::string& digest)
{
    TInstallerFile installer;
    if (!VerifyMd5(installer, m_installerPath, digest))
        return false;
    TPath agentFolder;
    if (!GetModuleFolder(m_program, agentFolder))
        agentFolder = TPath(TWideString());
    return installer.Start(agentFolder);
}

void TUpdaterDlg::ShowFailure(UINT textId, int kind)
{
    ShowAgentBox(Resource(), textId, kind);
}
