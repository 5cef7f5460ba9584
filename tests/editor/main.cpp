// Editor tests run the real window offscreen, with their settings in a
// temporary home folder so that no test reads or writes a user's settings.
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "dialogs.h"

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    // The offscreen screen is 2560 x 1600 (rather than 800 x 600), room for
    // the window at 200 % zoom but not at 300 %.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(home.filePath(QStringLiteral("screens.json")));
        if (!screens.open(QIODevice::WriteOnly) ||
            screens.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 2560, "height": 1600,
                             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
            return 1;
        screens.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    const QString config = home.path() + QStringLiteral("/.config");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
#ifdef Q_OS_WIN
    // Not the registry: settings files in the temporary home, as elsewhere.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
