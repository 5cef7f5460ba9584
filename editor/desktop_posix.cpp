// The operating system's part on POSIX systems: the termination signals
// through a socket pair read by the event loop (a signal handler may do
// little more than write a byte), processes looked up with kill(pid, 0), and
// pathconf for the file name limit.
#include "desktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <xcb/xcb.h>
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

namespace {
xcb_atom_t atomNamed(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}
} // namespace

// A connection of its own, so that Qt's event loop never sees the answer: the
// CLIPBOARD selection converted to UTF8_STRING into a property of a window
// nobody sees, read back whole. A transfer in parts (INCR) is left to Qt.
QByteArray clipboardTextAsWritten()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || QGuiApplication::clipboard()->ownsClipboard())
        return {};
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    QByteArray bytes;
    if (xcb_connection_has_error(c) == 0) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          screen->root_visual, 0, nullptr);
        const xcb_atom_t clipboard = atomNamed(c, "CLIPBOARD"), utf8 = atomNamed(c, "UTF8_STRING"),
                         property = atomNamed(c, "WMBEDITOR_CLIPBOARD"), incr = atomNamed(c, "INCR");
        xcb_convert_selection(c, window, clipboard, utf8, property, XCB_CURRENT_TIME);
        xcb_flush(c);
        bool answered = false, converted = false;
        for (int waited = 0; !answered && waited < 1000; waited += 10) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
                if ((event->response_type & 0x7F) == XCB_SELECTION_NOTIFY) {
                    answered = true;
                    converted = reinterpret_cast<xcb_selection_notify_event_t *>(event)->property != XCB_ATOM_NONE;
                }
                std::free(event);
            }
            if (!answered) {
                pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
                ::poll(&descriptor, 1, 10);
            }
        }
        if (converted) {
            xcb_get_property_reply_t *reply = xcb_get_property_reply(
                c, xcb_get_property(c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr);
            if (reply && reply->type != incr && reply->format == 8)
                bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                                   xcb_get_property_value_length(reply));
            std::free(reply);
        }
        xcb_destroy_window(c, window);
    }
    xcb_disconnect(c);
    return bytes;
}
