#include "install/InstallerFile.h"

#include "base/TAnsiString.h"
#include "install/Md5.h"

namespace {
constexpr DWORD kReadSize = 4096;

std::string Narrow(const TPath& path)
{
    const TAnsiString text(path.Text().Text());
    return std::string(text.Text(), static_cast<std::size_t>(text.Length()));
}
}

TInstallerFile::~TInstallerFile()
{
    Close();
}

bool TInstallerFile::Open(const TPath& path)
{
    Close();
    const TWideString name = path.Text();
    if (name.IsEmpty())
        return false;
    m_handle = CreateFileW(name.Text(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE)
        return false;
    m_path = path;
    return true;
}

bool TInstallerFile::Digest(std::string& hex)
{
    hex.clear();
    if (!IsOpen())
        return false;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN))
        return false;
    TMd5 md5;
    unsigned char buffer[kReadSize];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(m_handle, buffer, kReadSize, &read, nullptr))
            return false;
        if (read == 0)
            break;
        md5.Update(buffer, read);
    }
    hex = md5.FinishHex();
    return true;
}

bool TInstallerFile::Start(const TPath& agentFolder)
{
    if (!IsOpen())
        return false;
    std::string commandLine = BuildInstallerCommandLine(m_path, agentFolder);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL created = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    Close();
    if (!created)
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void TInstallerFile::Close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

bool VerifyMd5(TInstallerFile& installer, const TPath& path, const std::string& expected)
{
    std::string digest;
    if (!installer.Open(path) || !installer.Digest(digest))
        return false;
    return digest == expected;
}

std::string BuildInstallerCommandLine(const TPath& installer, const TPath& agentFolder)
{
    std::string folder = Narrow(agentFolder);
    if (!folder.empty() && folder.back() == '\\')
        folder += '\\';
    return "\"" + Narrow(installer) + "\" \"" + folder + "\"";
}
