// The session's ways in and out of files: Open ROM, a dropped file, Export
// level, the window title, Go to level and the edits an ended editor left.
#include "editorsession.h"

#include <QFileInfo>

#include "dialogs.h"
#include "errors.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "pathnames.h"
#include "romimage.h"
#include "wholefile.h"

bool EditorSession::openRom(const std::function<int()> &numberBoxLevel)
{
    if (!confirmLeaveLevel())
        return false;
    const QString path = mDialogs.openFile(asker(), QStringLiteral("OpenDialog1"),
                                           QStringLiteral(" Open file Wumblers (USA) (Unl).nes"),
                                           QStringLiteral("Any file (*.*)|*.*"));
    return !path.isEmpty() && openRomAt(path, 0, numberBoxLevel);
}

bool EditorSession::openRomAfterQuestion(const QString &path, int level, const std::function<int()> &numberBoxLevel)
{
    return confirmLeaveLevel() && openRomAt(path, level, numberBoxLevel);
}

bool EditorSession::openLevel(int n)
{
    if (!confirmLeaveLevel())
        return false;
    loadLevel(n);
    return true;
}

void EditorSession::goToLevel()
{
    if (!mDocument.levelLoaded())
        return;
    if (const std::optional<int> n =
            mDialogs.askLevelNumber(asker(), mDocument.loadedLevel(), QStringLiteral("Go to level")))
        openLevel(*n);
}

// A level file is imported into the level loaded last, as Import level with
// that file, after a question in place of the import's file dialog; without
// a level to import into, or with an image that cannot be written, the
// import says why without asking. Anything else is opened as the ROM image.
void EditorSession::dropFile(const QString &path, const std::function<int()> &numberBoxLevel)
{
    if (!path.endsWith(QStringLiteral(".level"), Qt::CaseInsensitive)) {
        openRomAfterQuestion(path, 0, numberBoxLevel);
        return;
    }
    if (mDocument.levelLoaded() && !mDocument.readOnly() &&
        !ask(QStringLiteral("Import ") + QFileInfo(path).fileName() + QStringLiteral(" into level ") +
             QString::number(mDocument.loadedLevel()) + QLatin1Char('?')))
        return;
    importLevel(path);
}

// Writes the level as the controls hold it, unsaved edits included; the ROM
// image and the controls are not touched. The file is written beside its
// place and renamed over it, so a failed export leaves any old file whole.
// The proposed name is that of the level the file holds, the one loaded
// last, whatever the number box says now.
void EditorSession::exportLevel(const QString &numberBoxText)
{
    const QString level = mDocument.levelLoaded() ? QString::number(mDocument.loadedLevel()) : numberBoxText;
    const QString path = mDialogs.saveFile(asker(), QStringLiteral("SaveDialog1"),
                                           QStringLiteral(" Please, save level file..."),
                                           QStringLiteral("Level files|*.level"), QStringLiteral("level"),
                                           QStringLiteral("level_") + level);
    if (path.isEmpty())
        return;
    const std::string file = pathFromQString(path);
    // The open image itself, or a link of either kind to it, would lose the
    // whole image to one level file.
    if (wmb::sameFile(file, mDocument.imagePath()))
        throw wmb::RuntimeError(shownFileName(path).toStdString() + " is the open ROM image; choose another file");
    if (wmb::fileExists(file) &&
        !mDialogs.askOkCancel(asker(), QStringLiteral("Warning!"), QStringLiteral("File exists, rewrite?")))
        return;
    wmb::writeFileAtomically(file, wmb::levelFileText(mDocument.fields()));
}

// Put together piece by piece: the file name is shown as it is, "%1" in it
// included.
QString EditorSession::windowTitle() const
{
    const QString app = QString::fromLatin1(ApplicationTitle);
    if (!mDocument.levelLoaded())
        return app;
    QString title = shownFileName(qStringFromPath(mDocument.imagePath()));
    if (mDocument.missing())
        title += QStringLiteral(" (missing)");
    if (mDocument.readOnly())
        title += QStringLiteral(" (read-only)");
    title += QStringLiteral(", level ") + QString::number(mDocument.loadedLevel());
    if (mDocument.wouldChangeRecord())
        title += QLatin1Char('*');
    return title + QStringLiteral(" \u2014 ") + app;
}

// Restoring asks what opening the image and leaving the shown level ask.
bool EditorSession::restoreLeftEdits(const wmb::RecoveryFile &edits)
{
    if (!confirmLeaveLevel())
        return false;
    if (!QFileInfo::exists(qStringFromPath(edits.imagePath)))
        return restoreIntoBackupCopy(edits);
    if ((!mDocument.hasImage() || mDocument.imagePath() != edits.imagePath) &&
        !openRomAt(qStringFromPath(edits.imagePath), edits.level, [&] { return edits.level; }))
        return false;
    mDocument.restoreEdits(edits);
    return true;
}
