// What the editor keeps between runs, in one place: the ROM images opened
// last, the folder each file dialog used last and the emulator command.
// Stored with QSettings under the organisation and application name
// "WMBeditor" (on Linux ~/.config/WMBeditor/WMBeditor.conf, on Windows the
// registry key HKEY_CURRENT_USER\Software\WMBeditor\WMBeditor); deleting
// that file or key resets everything.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

class EditorSettings {
public:
    EditorSettings();

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

private:
    mutable QSettings mStore;
};
