// The offscreen platform on a 2560 x 1600 screen (rather than its 800 x 600):
// room for the window at 200 % zoom but not at 300 %. Used by the tests and
// the benchmarks before the application starts, when the platform is the
// offscreen one or none is named; the screen's description is written into
// `folder`. False when it could not be written.
#pragma once

#include <QFile>
#include <QString>

inline bool useRoomyOffscreenScreen(const QString &folder)
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return true;
    QFile screens(folder + QStringLiteral("/screens.json"));
    if (!screens.open(QIODevice::WriteOnly) ||
        screens.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 2560, "height": 1600,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return false;
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    return true;
}
