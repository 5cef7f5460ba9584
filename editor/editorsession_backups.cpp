// File > Backups...: the open image's backups, compared with or restored.
#include "editorsession.h"

#include "backups.h"
#include "backupsdialog.h"
#include "dialogs.h"
#include "imagebackups.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "romfile.h"
#include "wholefile.h"

#include <algorithm>

namespace {

// What a restore changes, as its question says it.
QString restoreChanges(const wmb::WholeImageDifference &d)
{
    const QString levels = QString::fromStdString(wmb::describeLevels(d.levels));
    const QString which = (d.levels.size() == 1 ? QStringLiteral("level ") : QStringLiteral("levels ")) + levels;
    if (d.levels.empty())
        return QStringLiteral("It changes no level, only bytes outside the level records.");
    return d.otherBytes ? QStringLiteral("It changes %1 and bytes outside the level records.").arg(which)
                        : QStringLiteral("It changes %1; the bytes outside the level records are the same.").arg(which);
}

} // namespace

void EditorSession::showBackups()
{
    if (!mDocument.hasImage())
        return;
    const std::string image = mDocument.imageBytes();
    const std::vector<wmb::StoredBackup> backups = mDocument.backups().of(mDocument.imagePath());
    const QString imageName = shownFileName(qStringFromPath(mDocument.imagePath()));
    const std::optional<BackupChoice> choice = mDialogs.chooseBackup(asker(), imageName, backupRows(backups, image));
    if (!choice || choice->row < 0 || choice->row >= static_cast<int>(backups.size()))
        return;
    const wmb::StoredBackup &backup = backups[static_cast<std::size_t>(choice->row)];
    const QString name = QStringLiteral("the backup of %1").arg(backupTime(backup.timeMs));
    if (choice->action == BackupAction::Compare)
        return compareWithImage(backup.file, name);

    mDocument.openForWriting();
    const wmb::WholeImageDifference d = wmb::compareWholeImages(image, wmb::readWholeFile(backup.file));
    if (d.levels.empty() && !d.otherBytes) {
        mDialogs.showMessage(asker(), QStringLiteral("The image is as %1 holds it.").arg(name));
        return;
    }
    writeStep([&] { return mDocument.restoreWrite(backup.file); },
              QStringLiteral("Restore the whole image from %1? %2").arg(name, restoreChanges(d)),
              QStringLiteral("Restore the whole image"), Answer::Cancel);
}

// The copy is written through the safe whole-file write, as Save ROM As
// writes; the edits then wait on it for a save, as restored edits do.
bool EditorSession::restoreIntoBackupCopy(const wmb::RecoveryFile &edits)
{
    const std::vector<wmb::StoredBackup> backups = ImageBackups().of(edits.imagePath);
    if (backups.empty())
        return false;
    const QString path =
        mDialogs.saveFile(asker(), QStringLiteral("SaveDialog2"), QStringLiteral(" Save ROM image as..."),
                          QStringLiteral("NES ROM images|*.nes"), QStringLiteral("nes"),
                          absolutePath(qStringFromPath(edits.imagePath)));
    if (path.isEmpty())
        return false;
    const std::string target = pathFromQString(path);
    if (wmb::fileExists(target) &&
        !mDialogs.askOkCancel(asker(), QStringLiteral("Warning!"),
                              shownPath(path) + QStringLiteral(" already exists. Replace it?"), Answer::Cancel))
        return false;
    wmb::writeFileAtomically(target, wmb::readWholeFile(backups.front().file));
    if (!openRomAt(path, edits.level, [&] { return edits.level; }))
        return false;
    wmb::RecoveryFile moved = edits;
    moved.imagePath = target;
    mDocument.restoreEdits(moved);
    return true;
}
