// The operating system's part on Windows: processes looked up by handle, and
// the volume's own limit for file names.
#include "desktop.h"

#include <QDir>

#include <windows.h>

#include <string>

void endOnTerminationRequests() {}

bool processRuns(qint64 pid)
{
    if (pid <= 0 || pid > static_cast<qint64>(MAXDWORD))
        return false;
    const HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                         static_cast<DWORD>(pid));
    if (process == nullptr)   // a process this user may not look at still runs
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    // An ended process is signalled, whatever its exit code.
    const bool runs = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return runs;
}

int fileNameLimit(const QString &folder)
{
    constexpr DWORD Common = 255;
    const std::wstring path = QDir::toNativeSeparators(QDir(folder).absolutePath()).toStdWString();
    wchar_t volume[MAX_PATH + 1] = {};
    DWORD limit = 0;
    if (!::GetVolumePathNameW(path.c_str(), volume, MAX_PATH + 1) ||
        !::GetVolumeInformationW(volume, nullptr, 0, nullptr, &limit, nullptr, nullptr, 0))
        return Common;
    return static_cast<int>(limit > 0 && limit <= 4096 ? limit : Common);
}

int fileNameLength(const QString &name)
{
    return static_cast<int>(name.size());
}

// The system converts the clipboard's text for every reader: Qt's text is
// as exact as it gets.
QByteArray clipboardTextAsWritten() { return {}; }
