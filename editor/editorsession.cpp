// The session's state, its one history, leaving and saving a level, opening
// an image, importing, and the whole-level operations with their one rule.
#include "editorsession.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringDecoder>
#include <QUndoStack>
#include <QWidget>

#include <algorithm>
#include <utility>

#include "cp1251.h"
#include "desktop.h"
#include "dialogs.h"
#include "emulator.h"
#include "errors.h"
#include "hexcode.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "pathnames.h"
#include "romfile.h"
#include "romimage.h"
#include "settings.h"
#include "wholefile.h"

namespace {

std::string fileName(const std::string &path) { return shownFileName(qStringFromPath(path)).toStdString(); }

} // namespace

std::string groupedNumber(std::int64_t n)
{
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

EditorSession::EditorSession(LevelDocument &document, Dialogs &dialogs, EditorSettings &settings, QWidget *window)
    : QObject(window), mDocument(document), mDialogs(dialogs), mSettings(settings), mWindow(window)
{
    connect(&mDocument.history(), &QUndoStack::indexChanged, this, &EditorSession::reconcileHistory);
    connect(&mDocument, &LevelDocument::imageHistoryChanged, this, &EditorSession::reconcileHistory);
    connect(&mDocument, &LevelDocument::mapHistoryCleared, this, &EditorSession::reconcileHistory);
    connect(&mDocument, &LevelDocument::imageChanged, this, [this] {
        if (mFoundCode >= 0 || comparing())
            refreshMarks();
    });
    connect(&mDocument, &LevelDocument::edited, this, [this] {
        if (mFoundCode >= 0 || comparing())
            refreshMarks();
    });
}

EditorSession::~EditorSession() = default;

EditorSession::Acting::Acting(EditorSession &session, QWidget *window) : mSession(session), mBefore(session.mActing)
{
    mSession.mActing = window;
}

EditorSession::Acting::~Acting() { mSession.mActing = mBefore; }

QWidget *EditorSession::asker() const { return mActing ? mActing.data() : mWindow; }

bool EditorSession::ask(const QString &question, Answer enter)
{
    return mDialogs.askOkCancel(asker(), QString::fromLatin1(ApplicationTitle), question, enter);
}

void EditorSession::pickPicture(int n)
{
    SelectedTile = n;
    SelectedTileCode = n >= 1 && n - 1 < mTileCodeTable.size() ? mTileCodeTable[n - 1] : QString();
    emit pickChanged();
}

int EditorSession::pickedCode() const
{
    return SelectedTileCode.isEmpty() ? LevelDocument::Blank
                                      : static_cast<int>(wmb::HexTextToInt(SelectedTileCode.toStdString()));
}

void EditorSession::showNote(const QString &note)
{
    if (note == mNote)
        return;
    mNote = note;
    emit noteChanged();
}

// ---- The one history ----------------------------------------------------

// The two histories' counts are the truth: a step they gained is a new step
// (the steps undone are then forgotten, in both); a step they lost (a load,
// a new image, the oldest beyond the limit) leaves the timeline too.
void EditorSession::reconcileHistory()
{
    if (mStepping)
        return;
    const QUndoStack &map = mDocument.history();
    const wmb::ImageHistory &image = mDocument.imageHistory();
    const auto count = [](const std::vector<Step> &steps, Step kind) {
        return static_cast<std::size_t>(std::count(steps.begin(), steps.end(), kind));
    };
    const auto trim = [&](std::vector<Step> &steps, Step kind, std::size_t keep, bool oldestFirst) {
        while (count(steps, kind) > keep) {
            const auto at = oldestFirst ? std::find(steps.begin(), steps.end(), kind)
                                        : std::find(steps.rbegin(), steps.rend(), kind).base() - 1;
            steps.erase(at);
        }
    };
    const std::size_t mapDone = static_cast<std::size_t>(map.index());
    const std::size_t mapUndone = static_cast<std::size_t>(map.count() - map.index());
    // The map loses its newest step when a gesture put back every cell it
    // changed; its oldest beyond the limit, keeping the count.
    const bool lostNewest = static_cast<std::size_t>(map.count()) < std::exchange(mMapSteps, static_cast<std::size_t>(map.count()));
    trim(mDone, Step::Map, mapDone, !lostNewest);
    trim(mDone, Step::Image, image.done(), true);
    // mUndone's front is the step farthest from the present.
    trim(mUndone, Step::Map, mapUndone, true);
    trim(mUndone, Step::Image, image.size() - image.done(), true);
    bool added = false;
    for (std::size_t n = count(mDone, Step::Map); n < mapDone; ++n, added = true)
        mDone.push_back(Step::Map);
    for (std::size_t n = count(mDone, Step::Image); n < image.done(); ++n, added = true)
        mDone.push_back(Step::Image);
    if (added && !mUndone.empty()) {
        mUndone.clear();
        mStepping = true;
        mDocument.dropImageRedo();
        mStepping = false;
    }
    emit historyChanged();
}

QString EditorSession::undoText() const
{
    if (mDone.empty())
        return {};
    return mDone.back() == Step::Map ? mDocument.history().undoText()
                                     : QString::fromStdString(mDocument.imageHistory().undoName());
}

QString EditorSession::redoText() const
{
    if (mUndone.empty())
        return {};
    return mUndone.back() == Step::Map ? mDocument.history().redoText()
                                       : QString::fromStdString(mDocument.imageHistory().redoName());
}

// Either ends an open gesture first, as its keys do.
void EditorSession::undo()
{
    mDocument.endStep();
    if (mDone.empty())
        return;
    showNote({});
    if (mDone.back() == Step::Image) {
        undoImage(false);
        return;
    }
    mStepping = true;
    mUndone.push_back(mDone.back());
    mDone.pop_back();
    mDocument.undo();
    mStepping = false;
    reconcileHistory();
}

void EditorSession::redo()
{
    mDocument.endStep();
    if (mUndone.empty())
        return;
    showNote({});
    if (mUndone.back() == Step::Image) {
        undoImage(true);
        return;
    }
    mStepping = true;
    mDone.push_back(mUndone.back());
    mUndone.pop_back();
    mDocument.redo();
    mStepping = false;
    reconcileHistory();
}

// A step that cannot be written says why, naming the file and the cause,
// and stays where it was in the history.
void EditorSession::undoImage(bool redo)
{
    const wmb::ImageHistory &history = mDocument.imageHistory();
    const QString what = (redo ? QStringLiteral("Redo ") : QStringLiteral("Undo ")) +
                         QString::fromStdString(redo ? history.redoName() : history.undoName());
    const std::string file = fileName(mDocument.imagePath());
    try {
        const wmb::ImageWrite write = redo ? *history.redoWrite() : history.undoWrite()->undone();
        if (mDocument.levelLoaded() && wmb::writeCoversLevel(write, mDocument.loadedLevel())) {
            if (!unsavedBeforeWrite())
                return;
            // A save of bytes the step to redo changes ends the steps undone.
            if (redo ? !history.canRedo() : !history.canUndo()) {
                reconcileHistory();
                showNote(what + QStringLiteral(" is gone: the save changed the bytes it would write"));
                return;
            }
        }
        mStepping = true;
        redo ? mDocument.redoImageWrite() : mDocument.undoImageWrite();
        mStepping = false;
    } catch (const wmb::ImageChangedError &) {
        mStepping = false;
        throw wmb::RuntimeError(what.toStdString() + " is not possible: " + file +
                                " was changed by another program since that step");
    } catch (const wmb::InOutError &e) {
        mStepping = false;
        if (e.code() == wmb::IoFileNotFound)
            throw wmb::RuntimeError(what.toStdString() + " is not possible: " + file + " no longer exists");
        if (e.code() == wmb::IoReadBeyondEnd)
            throw wmb::RuntimeError(what.toStdString() + " is not possible: " + file +
                                    " was made shorter by another program since that step");
        throw wmb::RuntimeError(what.toStdString() + " is not possible: " + file + ": " + e.what());
    }
    if (redo) {
        mDone.push_back(Step::Image);
        mUndone.pop_back();
    } else {
        mUndone.push_back(Step::Image);
        mDone.pop_back();
    }
    reconcileHistory();
}

// ---- Leaving and saving ---------------------------------------------------

bool EditorSession::confirmLeaveLevel() { return askAboutUnsaved(true); }

// Before a write the image has been found writable, so Save is a save into
// it; leaving a level of an image opened read-only offers Save ROM As.
bool EditorSession::askAboutUnsaved(bool offerSaveAs)
{
    if (!mDocument.wouldChangeRecord())
        return true;
    // Save can only fail on an image opened read-only: Save ROM As instead.
    const bool readOnly = offerSaveAs && mDocument.readOnly();
    const QString save = readOnly ? QStringLiteral("Save &As...") : QStringLiteral("&Save");
    switch (mDialogs.askSaveDiscardCancel(asker(), QString::fromLatin1(ApplicationTitle),
                                          QStringLiteral("Level %1 has unsaved changes.").arg(mDocument.loadedLevel()),
                                          save)) {
    case SaveChoice::Save:
        return readOnly ? saveRomAs() : saveLevel();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

bool EditorSession::unsavedBeforeWrite() { return askAboutUnsaved(false); }

// Converts everything first; only then opens the image and writes the
// field bytes of the level loaded last, after asking when another program
// changed them. Texts and a timer the user did not touch keep the bytes
// they were read from. Reload counts as done (the level shown has no
// unsaved changes then).
bool EditorSession::saveLevel()
{
    const wmb::LevelRecord record = mDocument.recordToSave();
    mDocument.openForWriting();
    const OverwriteChoice choice = confirmOverwrite();
    if (choice == OverwriteChoice::Overwrite)
        mDocument.writeRecord(record);
    return choice != OverwriteChoice::Cancel;
}

// When the level's record on the disk is not what the editor last read or
// wrote there, another program changed it and the user decides: Overwrite,
// Reload (the level is shown as the disk holds it) or Cancel.
OverwriteChoice EditorSession::confirmOverwrite()
{
    if (!mDocument.changedOnDisk())
        return OverwriteChoice::Overwrite;
    const QString name = shownFileName(qStringFromPath(mDocument.imagePath()));
    const OverwriteChoice choice = mDialogs.askOverwriteReloadCancel(
        asker(), QString::fromLatin1(ApplicationTitle),
        QStringLiteral("Level ") + QString::number(mDocument.loadedLevel()) + QStringLiteral(" of ") + name +
            QStringLiteral(" was changed by another program since it was loaded."));
    if (choice == OverwriteChoice::Reload)
        mDocument.reloadFromDisk();
    return choice;
}

// A copy of the open image with the shown level saved into it, written whole
// beside its place and renamed there; then the editor works on the copy. Any
// failure leaves the editor on the image it had. The dialog starts at the
// open image, never in a folder of the same name elsewhere, and replacing
// another file is asked with its whole path, Cancel first.
bool EditorSession::saveRomAs()
{
    const QString path =
        mDialogs.saveFile(asker(), QStringLiteral("SaveDialog2"), QStringLiteral(" Save ROM image as..."),
                          QStringLiteral("NES ROM images|*.nes"), QStringLiteral("nes"),
                          absolutePath(qStringFromPath(mDocument.imagePath())));
    if (path.isEmpty())
        return false;
    const std::string target = pathFromQString(path);
    if (wmb::sameFile(target, mDocument.imagePath()))
        return saveLevel();
    if (wmb::fileExists(target) &&
        !mDialogs.askOkCancel(asker(), QStringLiteral("Warning!"),
                              shownPath(path) + QStringLiteral(" already exists. Replace it?"), Answer::Cancel))
        return false;
    mDocument.saveImageAs(target);
    mSettings.noteRecentRom(path);
    return true;
}

// ---- Opening, loading, importing ------------------------------------------

// A file too small to hold level 1 cannot be edited at all: refused, naming
// it and its size. One that does not look like a Wumblers ROM image is
// opened only after an OK. A file that cannot be read asks nothing; opening
// it reports why.
bool EditorSession::confirmRomImage(const QString &path)
{
    std::string doubt;
    try {
        wmb::RomFile look;
        look.assign(pathFromQString(path));
        look.openForReading();
        const std::int64_t size = look.size();
        if (size < wmb::LevelBaseOf(1) + wmb::RecordEndOffset)
            throw wmb::RuntimeError(shownFileName(path).toStdString() + " has " + groupedNumber(size) +
                                    " bytes: too small for a Wumblers ROM image, whose level 1 ends at byte " +
                                    groupedNumber(wmb::LevelBaseOf(1) + wmb::RecordEndOffset));
        doubt = wmb::romImageDoubt(look);
    } catch (const wmb::InOutError &e) {
        return true;   // the open itself reports why the file cannot be read
    }
    if (doubt.empty())
        return true;
    return ask(QStringLiteral("%1 does not look like a Wumblers ROM image (%2). Open it anyway?")
                   .arg(shownFileName(path), QString::fromStdString(doubt)));
}

bool EditorSession::openRomAt(const QString &path, int level, const std::function<int()> &numberBoxLevel)
{
    if (!confirmRomImage(path))
        return false;
    bool readOnly = false;
    wmb::RomFile rom = LevelDocument::openRomFile(pathFromQString(path), readOnly);
    mDocument.openImage(std::move(rom), readOnly, level ? level : numberBoxLevel());
    mSettings.noteRecentRom(path);
    return true;
}

void EditorSession::loadLevel(int n) { mDocument.loadLevel(std::clamp(n, 1, wmb::LevelCount)); }

// All or nothing: the file and every tile picture it names are checked
// before the image or the editor changes; a level that another program
// changed on the disk is written over only after asking. Then the level
// loaded last is written, synced and read back, as one step of the image's
// history.
void EditorSession::importLevel(const QString &path)
{
    const wmb::LevelRecord record = mDocument.prepareImport(pathFromQString(path));
    mDocument.openForWriting();
    if (confirmOverwrite() != OverwriteChoice::Overwrite)
        return;
    mDocument.writeImported(record, QStringLiteral("Import %1 into level %2")
                                        .arg(QFileInfo(path).fileName())
                                        .arg(mDocument.loadedLevel())
                                        .toStdString());
}

// ---- Whole levels ----------------------------------------------------------

// A whole-level operation on an image too short for the levels it takes
// says what the image holds.
wmb::ImageWrite EditorSession::computeWrite(const std::function<wmb::ImageWrite()> &compute)
{
    try {
        return compute();
    } catch (const wmb::InOutError &e) {
        if (e.code() != wmb::IoReadBeyondEnd)
            throw;
        const auto size = static_cast<std::int64_t>(mDocument.imageBytes().size());
        int whole = 0;
        while (whole < wmb::LevelCount && wmb::LevelBaseOf(whole + 1) + wmb::RecordEndOffset <= size)
            ++whole;
        throw wmb::RuntimeError(fileName(mDocument.imagePath()) + " is too short for this: its " + groupedNumber(size) +
                                " bytes hold " +
                                (whole ? "levels 1 to " + std::to_string(whole) + " only" : std::string("no whole level")));
    }
}

bool EditorSession::writeStep(const std::function<wmb::ImageWrite()> &compute, const QString &question,
                              const QString &stepName, Answer enter)
{
    mDocument.openForWriting();   // read-only, missing: refused before any question
    wmb::ImageWrite write = computeWrite(compute);   // a short image: refused here too
    if (write.empty())
        return false;
    if (!question.isEmpty() && !ask(question, enter))
        return false;
    const int shown = mDocument.loadedLevel();
    if (mDocument.levelLoaded() && wmb::writeCoversLevel(write, shown) && mDocument.wouldChangeRecord()) {
        if (!unsavedBeforeWrite())
            return false;
        if (!mDocument.wouldChangeRecord())
            write = compute();   // saved (or reloaded): the write replaces what the file holds now
    }
    mDocument.writeImage(write, stepName.toStdString());
    return true;
}

// The record goes on the clipboard as a level file's text; this editor
// keeps its bytes, so that a paste here carries the field bytes exactly.
void EditorSession::copyLevel(int n)
{
    wmb::LevelRecord record;
    computeWrite([&] {
        record = wmb::levelRecordIn(mDocument.imageBytes(), n);
        return wmb::ImageWrite{};
    });
    const QString text =
        QString::fromStdString(wmb::cp1251ToUtf8(wmb::levelFileText(wmb::fieldsFromRecord(record))));
    QGuiApplication::clipboard()->setText(text);
    mCopiedLevel = CopiedLevel{n, record, text};
}

// The level copied here last while the clipboard still holds its text;
// any other text is read as an imported level file is.
void EditorSession::pasteLevelOver(int n, const QByteArray &clipboard)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(clipboard);
    if (utf8.hasError())
        text = QString::fromStdString(wmb::cp1251ToUtf8(clipboard.toStdString()));
    const bool ours = mCopiedLevel && mCopiedLevel->text == text;
    const wmb::LevelRecord record =
        ours ? mCopiedLevel->record
             : wmb::recordFromFields(wmb::parseLevelFile("\xEF\xBB\xBF" + text.toStdString()));
    const QString what =
        ours ? QStringLiteral("level %1").arg(mCopiedLevel->level) : QStringLiteral("the clipboard's level");
    const QString step = QStringLiteral("Paste %1 over level %2").arg(what).arg(n);
    writeStep([&] { return wmb::pasteLevel(mDocument.imageBytes(), record, n); }, step + QLatin1Char('?'), step);
}

// Another program's text is taken as the bytes it wrote where the system
// keeps them, so that a level file's Windows-1251 letters survive.
void EditorSession::pasteClipboardLevelOver(int n)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QByteArray bytes = clipboardTextAsWritten();
    if (bytes.isEmpty() && data)
        bytes = data->data(QStringLiteral("text/plain"));
    if (bytes.isEmpty())
        bytes = QGuiApplication::clipboard()->text().toUtf8();
    pasteLevelOver(n, bytes);
}

void EditorSession::swapLevels(int level, int with)
{
    if (with == 0) {
        const std::optional<int> answer = mDialogs.askLevelNumber(asker(), level, QStringLiteral("Swap with level"));
        if (!answer)
            return;
        with = *answer;
    }
    if (with == level || !wmb::isLevelNumber(with))
        return;
    const QString step = QStringLiteral("Swap level %1 with level %2").arg(level).arg(with);
    writeStep([&] { return wmb::swapLevels(mDocument.imageBytes(), level, with); }, step + QLatin1Char('?'), step);
}

// The levels between shift one place, and the question says so.
void EditorSession::moveLevel(int from, int to)
{
    if (from == to || !wmb::isLevelNumber(from) || !wmb::isLevelNumber(to))
        return;
    const QString step = QStringLiteral("Move level %1 to place %2").arg(from).arg(to);
    // The levels between take the places next to theirs: 12 to 3 makes 3..11 into 4..12.
    const int first = from < to ? from + 1 : to, last = from < to ? to : from - 1, by = from < to ? -1 : 1;
    const QString shift = first == last ? QStringLiteral("Level %1 becomes level %2.").arg(first).arg(first + by)
                                        : QStringLiteral("Levels %1 to %2 become levels %3 to %4.")
                                              .arg(first)
                                              .arg(last)
                                              .arg(first + by)
                                              .arg(last + by);
    writeStep([&] { return wmb::moveLevel(mDocument.imageBytes(), from, to); },
              step + QStringLiteral("? ") + shift, step);
}
