// What the editor keeps between runs, in one place: the ROM images opened
// last, the folder each file dialog used last, the emulator command, the zoom
// and what the backups keep.
// Stored with QSettings under the organisation and application name
// "WMBeditor" (on Linux ~/.config/WMBeditor/WMBeditor.conf, on Windows the
// registry key HKEY_CURRENT_USER\Software\WMBeditor\WMBeditor); deleting
// that file or key resets everything.
//
// Settings never stop a start: when a file QSettings would read is there but
// is not a regular file (a pipe would block the start for good), nothing is
// read or written: the editor runs on the defaults, kept in memory for this
// run, and says why on standard error. A value of the wrong type reads as
// the default.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class EditorSettings {
public:
    EditorSettings();
    ~EditorSettings();

    static constexpr int RecentLimit = 8;

    // Most recent first, at most RecentLimit absolute paths.
    QStringList recentRoms() const;
    // Puts `path` first, dropping an older entry of the same file.
    void noteRecentRom(const QString &path);
    void removeRecentRom(const QString &path);
    void clearRecentRoms();

    // The file chosen last in the dialog named `dialog` (OpenDialog1, ...),
    // or empty: its folder is where the dialog starts.
    QString lastChoice(const QString &dialog) const;
    void setLastChoice(const QString &dialog, const QString &path);

    // The command that starts the NES emulator; empty: look one up.
    QString emulatorCommand() const;
    void setEmulatorCommand(const QString &command);

    // The zoom of the map and the palette in percent; 0 when none is kept.
    int zoom() const;
    void setZoom(int percent);

    // What the backups of images keep: the newest backupsPerImage of each
    // image (default 20), backupMegabytes in all (default 500, of 10^6
    // bytes). A value that is missing, not a number or below 1 reads as the
    // default.
    int backupsPerImage() const;
    int backupMegabytes() const;
    void setBackupLimits(int perImage, int megabytes);

private:
    QString text(const QString &key) const;
    QStringList texts(const QString &key) const;
    void store(const QString &key, const QVariant &value);

    std::unique_ptr<QSettings> mStore;   // null: the settings are kept in mMemory
    QVariantMap mMemory;
};
