#include "DevelopSession.h"

#include "DevelopProgress.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> g_stopAsked{false};

BOOL WINAPI OnConsoleControl(DWORD)
{
    g_stopAsked = true;
    return TRUE;
}

class CProgressWatcher : public ITlDevelopWatcher {
public:
    explicit CProgressWatcher(CProgressLine& progress) : m_progress(progress) {}
    void OnProgress(long done, long total) override { m_progress.Show(done, total); }
    bool IsStopAsked() override { return g_stopAsked; }

private:
    CProgressLine& m_progress;
};

} // namespace

unsigned long CDevelopSession::Develop(const char* input, const char* output, const DevelopOutput& format,
                                       CProgressLine& progress, IKelvraError** error)
{
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    CProgressWatcher watcher(progress);
    const unsigned long result =
        m_develop.Develop(input, output, format.fileFormat, format.pixelFormat, watcher, error);
    progress.Finish();
    SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
    return result;
}
