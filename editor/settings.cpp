#include "settings.h"

#include <QFileInfo>

namespace {
const QString RecentKey = QStringLiteral("recentRoms");
const QString EmulatorKey = QStringLiteral("emulator/command");
QString dialogKey(const QString &dialog) { return QStringLiteral("dialogs/") + dialog; }
} // namespace

// The default format is the system's own (the registry on Windows) unless a
// program, such as the tests, chooses another.
EditorSettings::EditorSettings()
    : mStore(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("WMBeditor"), QStringLiteral("WMBeditor"))
{
}

QStringList EditorSettings::recentRoms() const
{
    QStringList list = mStore.value(RecentKey).toStringList();
    list.removeAll(QString());
    return list.mid(0, RecentLimit);
}

void EditorSettings::noteRecentRom(const QString &path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList list = recentRoms();
    list.removeAll(file);
    list.prepend(file);
    mStore.setValue(RecentKey, list.mid(0, RecentLimit));
}

void EditorSettings::removeRecentRom(const QString &path)
{
    QStringList list = recentRoms();
    list.removeAll(path);
    mStore.setValue(RecentKey, list);
}

void EditorSettings::clearRecentRoms() { mStore.remove(RecentKey); }

QString EditorSettings::lastChoice(const QString &dialog) const
{
    return mStore.value(dialogKey(dialog)).toString();
}

void EditorSettings::setLastChoice(const QString &dialog, const QString &path)
{
    mStore.setValue(dialogKey(dialog), QFileInfo(path).absoluteFilePath());
}

QString EditorSettings::emulatorCommand() const { return mStore.value(EmulatorKey).toString(); }

void EditorSettings::setEmulatorCommand(const QString &command)
{
    mStore.setValue(EmulatorKey, command);
}
