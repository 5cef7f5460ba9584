// An editor killed and started again: the model's start-up, and the run's
// action, whose new window offers the recovery file the old one left.
#include "modelrun.h"

#include <QDirIterator>

namespace model {

void EditorModel::restart(bool restore)
{
    EditorModel fresh(goodRom);
    fresh.shortRom = shortRom;
    fresh.shortExists = shortExists;
    fresh.copyRom = copyRom;
    fresh.copyExists = copyExists;
    fresh.exports = exports;
    fresh.zoom = zoom;
    fresh.clipboard = clipboard;
    fresh.clipboardGrid = clipboardGrid;
    fresh.answer = answer;
    fresh.onDiskAnswer = onDiskAnswer;
    fresh.loads = loads;
    if (restore && unsavedChanges()) {
        fresh.bound = bound;
        fresh.buttonsEnabled = true;
        fresh.load(loadedLevel);
        // The edits count from the record they started from, whatever the
        // disk holds now.
        fresh.saved = saved;
        fresh.savedTimer = savedTimer;
        fresh.savedName = savedName;
        fresh.savedAuthor = savedAuthor;
        fresh.savedHint = savedHint;
        MapState restored;
        for (int i = 0; i < Cells; ++i)
            restored[i] = {map[i].code, map[i].code};
        if (restored != fresh.map) {
            fresh.undoSteps.push_back({fresh.map, restored});
            fresh.undoNames.push_back(QStringLiteral("Restore"));
            fresh.newStep('M');
        }
        fresh.map = restored;
        // The texts as the document holds them: UTF-8, where a lone
        // surrogate (a pair cut at the box's length) reads "?", as it saves.
        const auto held = [](const EditModel &box) { return QString::fromStdString(box.text.toStdString()); };
        fresh.timer.set(held(timer));
        fresh.name.set(held(name));
        fresh.author.set(held(author));
        fresh.hint.set(held(hint));
    }
    *this = std::move(fresh);
}

} // namespace model

namespace {
QStringList recoveryFiles(const QString &dataHome)
{
    QStringList files;
    QDirIterator it(dataHome, {QStringLiteral("level.wmbrecovery")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}
} // namespace

// The window goes without its close, as a kill ends it (its last change is
// on the disk: a change is written within a second). The new one asks about
// the edits when there were unsaved changes, and Restore (where the image
// opens without a question) or Discard leaves only its own file, if any.
void ModelRun::crash()
{
    const bool edits = mModel->unsavedChanges();
    const bool restore = chance(60) && mModel->looksLikeRom(mModel->bound);
    log(QStringLiteral("editor killed, then %1").arg(restore ? QStringLiteral("Restore") : QStringLiteral("Discard")));
    mWindow.form.reset();
    mOtherImage.clear();   // the new window compares with nothing
    mDialogs.recoveryAnswer = restore ? RecoveryChoice::Restore : RecoveryChoice::Discard;
    mDialogs.recoveryQuestions = 0;
    startWindow();
    mWindow.form->offerRecovery();
    mModel->restart(restore);
    if (mDialogs.recoveryQuestions != (edits ? 1 : 0))
        note(QStringLiteral("recovery questions: model %1, window %2").arg(edits ? 1 : 0).arg(mDialogs.recoveryQuestions));
    const qsizetype left = recoveryFiles(mDataHome.path()).size();
    if (left != (edits && restore && mModel->unsavedChanges() ? 1 : 0))
        note(QStringLiteral("recovery files left: %1").arg(left));
    if (edits)
        ++mCounts[restore ? QStringLiteral("(recovery file restored)") : QStringLiteral("(recovery file discarded)")];
}
