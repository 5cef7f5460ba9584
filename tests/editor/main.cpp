// Editor tests run the real window offscreen, with their settings and data
// in a temporary home folder so that no test reads or writes a user's settings.
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "dialogs.h"
#include "offscreen.h"

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    if (!useRoomyOffscreenScreen(home.path()))
        return 1;
    const QString config = home.path() + QStringLiteral("/.config");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    // The data folder (backups, recovery files) in the temporary home too.
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
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
