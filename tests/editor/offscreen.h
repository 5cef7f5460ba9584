// The offscreen platform on a 2560 x 1600 screen (rather than its 800 x 600):
// room for the window at 200 % zoom but not at 300 %. Used by the tests and
// the benchmarks before the application starts, when the platform is the
// offscreen one or none is named; the screen's description is written into
// `folder`. False when it could not be written.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline bool useRoomyOffscreenScreen(const QString &folder)
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return true;
#ifdef Q_OS_WIN
    // The platform's arguments are split at colons, so the description's
    // path cannot hold a drive letter: it is written on the current drive and
    // named from that drive's root.
    (void)folder;
    static QTemporaryDir here(QDir::currentPath() + QStringLiteral("/offscreen-XXXXXX"));
    if (!here.isValid())
        return false;
    QFile screens(here.path() + QStringLiteral("/screens.json"));
#else
    QFile screens(folder + QStringLiteral("/screens.json"));
#endif
    if (!screens.open(QIODevice::WriteOnly) ||
        screens.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 2560, "height": 1600,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return false;
    screens.close();
    QString path = screens.fileName();
#ifdef Q_OS_WIN
    path = path.mid(path.indexOf(QLatin1Char(':')) + 1);
#endif
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
    return true;
}
