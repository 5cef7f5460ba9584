// The operating system's part on POSIX systems: the termination signals
// through a socket pair read by the event loop (a signal handler may do
// little more than write a byte), processes looked up with kill(pid, 0), and
// pathconf for the file name limit.
#include "desktop.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <limits>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0]: written by the signal handler, [1]: read by the event loop.
int signalSockets[2] = {-1, -1};

extern "C" void noteSignal(int signal)
{
    const int saved = errno;
    const char number = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &number, 1);
    errno = saved;
}

} // namespace

void endOnTerminationRequests()
{
    if (signalSockets[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    ::fcntl(signalSockets[0], F_SETFL, O_NONBLOCK);   // the handler never waits
    auto *notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char number = 0;
        if (::read(signalSockets[1], &number, 1) != 1)
            return;
        const int status = 128 + number;
        QCoreApplication::exit(status);
        // A request that comes while a dialog runs before the main loop has
        // started (a question about the image named on the command line)
        // ends that loop too, as soon as it starts.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction before = {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

bool processRuns(qint64 pid)
{
    // 0 and negative ids name process groups, never one process.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // An ended process not yet collected still answers kill(); where /proc
    // exists its state tells: Z (zombie) or X (dead).
    QFile stat(QStringLiteral("/proc/") + QString::number(pid) + QStringLiteral("/stat"));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype name = line.lastIndexOf(')');   // the command name may hold anything
        if (name >= 0 && name + 2 < line.size())
            return line[name + 2] != 'Z' && line[name + 2] != 'X';
    }
    return true;
}

int fileNameLimit(const QString &folder)
{
    constexpr long Common = 255;
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return static_cast<int>(limit > 0 && limit <= 4096 ? limit : Common);
}

int fileNameLength(const QString &name)
{
    return static_cast<int>(QFile::encodeName(name).size());
}
