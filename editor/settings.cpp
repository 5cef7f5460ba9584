#include "settings.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QMetaType>
#include <QStandardPaths>

#include <iostream>

namespace {
const QString Name = QStringLiteral("WMBeditor");
const QString RecentKey = QStringLiteral("recentRoms");
const QString EmulatorKey = QStringLiteral("emulator/command");
const QString ZoomKey = QStringLiteral("view/zoom");
const QString BackupCountKey = QStringLiteral("backups/perImage");
const QString BackupSizeKey = QStringLiteral("backups/megabytes");
QString dialogKey(const QString &dialog) { return QStringLiteral("dialogs/") + dialog; }

// The first file QSettings would read for the organisation and application
// "WMBeditor" that is there but is not a regular file, or empty. Each
// configuration folder may hold WMBeditor/WMBeditor.conf and WMBeditor.conf.
// On Windows the settings are in the registry, and no file there is a pipe
// a read could wait on for good.
QString unreadableSettingsFile()
{
#ifdef Q_OS_WIN
    return {};
#else
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders << QLibraryInfo::path(QLibraryInfo::SettingsPath);
    for (const QString &folder : folders) {
        for (const QString &file : {folder + QLatin1Char('/') + Name + QLatin1Char('/') + Name + QStringLiteral(".conf"),
                                    folder + QLatin1Char('/') + Name + QStringLiteral(".conf")}) {
            const QFileInfo info(file);
            if (info.exists() && !info.isFile())
                return file;
        }
    }
    return {};
#endif
}

// Says why the settings are not read once, though the window and the dialogs
// each keep settings, until the files are fine again.
void tellRefused(const QString &refused)
{
    static QString told;
    if (refused == told)
        return;
    told = refused;
    if (!refused.isEmpty())
        std::cerr << "wmbeditor: " << QFile::encodeName(refused).constData()
                  << " is not a regular file; the settings are not read, and not kept after this run\n";
}
} // namespace

// The default format is the system's own (the registry on Windows) unless a
// program, such as the tests, chooses another.
EditorSettings::EditorSettings()
{
    const QString refused = unreadableSettingsFile();
    tellRefused(refused);
    if (refused.isEmpty())
        mStore = std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope, Name, Name);
}

EditorSettings::~EditorSettings() = default;

QString EditorSettings::text(const QString &key) const
{
    const QVariant value = mStore ? mStore->value(key) : mMemory.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// A list of one text is stored as that text.
QStringList EditorSettings::texts(const QString &key) const
{
    const QVariant value = mStore ? mStore->value(key) : mMemory.value(key);
    if (value.typeId() == QMetaType::QString)
        return {value.toString()};
    return value.typeId() == QMetaType::QStringList ? value.toStringList() : QStringList();
}

void EditorSettings::store(const QString &key, const QVariant &value)
{
    if (!mStore)
        mMemory.insert(key, value);
    else if (value.isValid())
        mStore->setValue(key, value);
    else
        mStore->remove(key);
}

QStringList EditorSettings::recentRoms() const
{
    QStringList list = texts(RecentKey);
    list.removeAll(QString());
    return list.mid(0, RecentLimit);
}

void EditorSettings::noteRecentRom(const QString &path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList list = recentRoms();
    list.removeAll(file);
    list.prepend(file);
    store(RecentKey, list.mid(0, RecentLimit));
}

void EditorSettings::removeRecentRom(const QString &path)
{
    QStringList list = recentRoms();
    list.removeAll(path);
    store(RecentKey, list);
}

void EditorSettings::clearRecentRoms() { store(RecentKey, QVariant()); }

QString EditorSettings::lastChoice(const QString &dialog) const
{
    return text(dialogKey(dialog));
}

void EditorSettings::setLastChoice(const QString &dialog, const QString &path)
{
    store(dialogKey(dialog), QFileInfo(path).absoluteFilePath());
}

QString EditorSettings::emulatorCommand() const { return text(EmulatorKey); }

void EditorSettings::setEmulatorCommand(const QString &command)
{
    store(EmulatorKey, command);
}

// Kept as its text, which an INI file gives back as it was stored.
int EditorSettings::zoom() const { return text(ZoomKey).toInt(); }

void EditorSettings::setZoom(int percent) { store(ZoomKey, QString::number(percent)); }

namespace {
int positiveOr(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 1 ? value : fallback;
}
} // namespace

int EditorSettings::backupsPerImage() const { return positiveOr(text(BackupCountKey), 20); }

int EditorSettings::backupMegabytes() const { return positiveOr(text(BackupSizeKey), 500); }

void EditorSettings::setBackupLimits(int perImage, int megabytes)
{
    store(BackupCountKey, QString::number(perImage));
    store(BackupSizeKey, QString::number(megabytes));
}
