// The last step of an update: downloads the MD5 file and the installer on a
// worker thread, checks the installer's digest and starts it.
#pragma once

#include "app/TWorkerDialog.h"
#include "files/TPath.h"
#include "net/UrlDownloader.h"

#include <string>

class TUpdaterDlg : public TWorkerDialog {
public:
    static constexpr UINT kTemplateId = 1004;
    static constexpr UINT kFinishMessage = 0x83EA;

    TUpdaterDlg();
    ~TUpdaterDlg() override;

    void SetInstallerAddress(const TWideString& address) { m_installerAddress = address; }
    void SetMd5Address(const TWideString& address) { m_md5Address = address; }
    void SetProgramInstance(HINSTANCE instance) { m_program = instance; }

    // The text id for a download result; 0 for success and unknown results.
    static UINT TextForResult(unsigned result);

private:
    int ProgressMaximum() override;
    void RunWork() override { DownloadFiles(this); }
    void CancelWork() override { m_downloader.Cancel(); }
    void Finish(TWideString* text) override;

    void DownloadFiles(void* target);
    static void OnDownloadProgress(DWORD bytes, void* target);
    // True when the MD5 file holds at least 32 characters; they are kept.
    bool ReadExpectedDigest(std::string& digest) const;
    bool VerifyAndStart(const std::string& digest);
    void ShowFailure(UINT textId, int kind);

    TPath m_md5Path;
    TPath m_installerPath;
    TWideString m_installerAddress;
    TWideString m_md5Address;
    HINSTANCE m_program = nullptr;
    UrlDownloader m_downloader;
    volatile LONG m_result = 0;
};
