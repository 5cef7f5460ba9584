// Whole levels from the overview in the model and in the random run: copy,
// paste, swap, move, and undo and redo of the image's history.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

#include "bps.h"
#include "checksums.h"
#include "cp1251.h"
#include "levelfile.h"
#include "leveloverview.h"
#include "modelrun.h"
#include "patches.h"
#include "region.h"

namespace model {

namespace {
QString hexText2(int code) { return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(); }
} // namespace

// Only the bytes a write changes count: a range that spans the shown level
// and leaves its bytes as they are does not touch it.
bool EditorModel::coversShown(const wmb::ImageWrite &write) const
{
    if (!levelLoaded)
        return false;
    const qint64 first = mapAt(loadedLevel) - 31, end = mapAt(loadedLevel) + 223;
    for (qint64 p = std::max<qint64>(first, write.offset);
         p < std::min<qint64>(end, write.offset + static_cast<qint64>(write.bytes.size())); ++p)
        if (write.bytes[static_cast<std::size_t>(p - write.offset)] !=
            write.replaced[static_cast<std::size_t>(p - write.offset)])
            return true;
    return false;
}

void EditorModel::forgetSteps(char kind)
{
    for (std::vector<char> *steps : {&done, &undone})
        steps->erase(std::remove(steps->begin(), steps->end(), kind), steps->end());
}

void EditorModel::newStep(char kind)
{
    done.push_back(kind);
    forgetUndone();
}

void EditorModel::forgetUndone()
{
    undone.clear();
    redoSteps.clear();
    redoNames.clear();
    imageRedo.clear();
    imageRedoNames.clear();
}

QString EditorModel::undoText() const
{
    return done.empty() ? QString() : done.back() == 'M' ? undoNames.back() : imageUndoNames.back();
}

QString EditorModel::redoText() const
{
    return undone.empty() ? QString() : undone.back() == 'M' ? redoNames.back() : imageRedoNames.back();
}

// Only the bytes the write changes are set; the edits of the shown level go
// once the write is done.
void EditorModel::writeImage(const wmb::ImageWrite &write, const QString &name)
{
    if (write.empty())
        return;
    QByteArray &image = boundBytes();
    for (std::size_t i = 0; i < write.bytes.size(); ++i)
        if (write.bytes[i] != write.replaced[i])
            image[static_cast<qsizetype>(write.offset + static_cast<qint64>(i))] = write.bytes[i];
    newStep('I');
    imageUndo.push_back(write);
    imageUndoNames.push_back(name);
    if (coversShown(write))
        showRecord(recordOnDisk());
}

// A write the image is too short for is refused before any question,
// saying which levels it holds.
bool EditorModel::tooShort()
{
    const qsizetype size = boundBytes().size();
    int whole = 0;
    while (whole < Levels && holdsLevel(size, whole + 1))
        ++whole;
    error(QStringLiteral("%1 is too short for this: its %2 bytes hold %3.")
              .arg(boundName(), QLocale(QLocale::English).toString(size),
                   whole ? QStringLiteral("levels 1 to %1 only").arg(whole) : QStringLiteral("no whole level")));
    return false;
}

bool EditorModel::writeStep(const std::function<wmb::ImageWrite()> &compute, bool ok, const QString &name)
{
    wmb::ImageWrite write;
    try {
        write = compute();
    } catch (const std::exception &) {
        return tooShort();
    }
    if (write.empty())
        return false;
    if (!ok)
        return true;
    if (coversShown(write) && unsavedChanges()) {
        if (!leaveLevel())
            return true;
        if (!unsavedChanges())
            write = compute();
    }
    writeImage(write, name);
    return true;
}

void EditorModel::copyLevel(int n)
{
    wmb::LevelRecord record;
    try {
        record = wmb::levelRecordIn(boundBytes().toStdString(), n);
    } catch (const std::exception &) {
        tooShort();
        return;
    }
    clipboard = QString::fromStdString(wmb::cp1251ToUtf8(wmb::levelFileText(wmb::fieldsFromRecord(record))));
    copied = Copied{n, record, clipboard};
    clipboardGrid.reset();
    if (const auto grid = wmb::parseTileGrid(clipboard.toStdString())) {
        clipboardGrid = Grid();
        for (const auto &row : *grid)
            clipboardGrid->push_back(std::vector<int>(row.begin(), row.end()));
    }
}

bool EditorModel::pasteLevel(int n, bool ok)
{
    wmb::LevelRecord record;
    const bool ours = copied && copied->text == clipboard;
    if (ours) {
        record = copied->record;
    } else {
        try {
            record = wmb::recordFromFields(wmb::parseLevelFile("\xEF\xBB\xBF" + clipboard.toStdString()));
        } catch (const std::exception &e) {
            error(model::errorBoxText(QString::fromUtf8(e.what())));
            return false;
        }
    }
    const QString what = ours ? QStringLiteral("level %1").arg(copied->level) : QStringLiteral("the clipboard's level");
    return writeStep([&] { return wmb::pasteLevel(boundBytes().toStdString(), record, n); }, ok,
                     QStringLiteral("Paste %1 over level %2").arg(what).arg(n));
}

bool EditorModel::swapLevels(int a, int b, bool ok)
{
    if (a == b)
        return false;
    return writeStep([&] { return wmb::swapLevels(boundBytes().toStdString(), a, b); }, ok,
                     QStringLiteral("Swap level %1 with level %2").arg(a).arg(b));
}

bool EditorModel::moveLevel(int from, int to, bool ok)
{
    if (from == to)
        return false;
    return writeStep([&] { return wmb::moveLevel(boundBytes().toStdString(), from, to); }, ok,
                     QStringLiteral("Move level %1 to place %2").arg(from).arg(to));
}

// The save of the shown record joins the newest step that changes any byte
// of it, for every byte it changed within that step's range; a byte outside
// joins the newest step that changes it.
void EditorModel::saveJoinsSteps(const QByteArray &before)
{
    const QByteArray &after = boundBytes();
    const auto changes = [](const wmb::ImageWrite &w, qint64 p) {
        const qint64 i = p - w.offset;
        return i >= 0 && i < static_cast<qint64>(w.bytes.size()) &&
               w.bytes[static_cast<std::size_t>(i)] != w.replaced[static_cast<std::size_t>(i)];
    };
    const qint64 first = mapAt(loadedLevel) - 31, end = mapAt(loadedLevel) + 223;
    wmb::ImageWrite *joins = nullptr;
    for (auto w = imageUndo.rbegin(); w != imageUndo.rend() && !joins; ++w)
        for (qint64 p = first; p < end && !joins; ++p)
            if (changes(*w, p))
                joins = &*w;
    bool undoneMet = false;
    for (qsizetype p = 0; p < before.size() && p < after.size(); ++p) {
        if (before[p] == after[p])
            continue;
        undoneMet = undoneMet || std::any_of(imageRedo.begin(), imageRedo.end(), [&](const wmb::ImageWrite &w) { return changes(w, p); });
        if (joins && p >= joins->offset && p < joins->offset + static_cast<qint64>(joins->bytes.size())) {
            joins->bytes[static_cast<std::size_t>(p - joins->offset)] = after[p];
            continue;
        }
        for (auto w = imageUndo.rbegin(); w != imageUndo.rend(); ++w)
            if (changes(*w, p)) {
                w->bytes[static_cast<std::size_t>(p - w->offset)] = after[p];
                break;
            }
    }
    if (undoneMet) {
        imageRedo.clear();
        imageRedoNames.clear();
        undone.erase(std::remove(undone.begin(), undone.end(), 'I'), undone.end());
    }
}

// Refused, moving nothing, when a byte the step changes no longer holds
// what the step left; the shown level's unsaved changes are asked about
// when the step changes its bytes.
void EditorModel::undoImage(bool redo)
{
    std::vector<wmb::ImageWrite> &from = redo ? imageRedo : imageUndo;
    std::vector<wmb::ImageWrite> &to = redo ? imageUndo : imageRedo;
    std::vector<QString> &fromNames = redo ? imageRedoNames : imageUndoNames;
    std::vector<QString> &toNames = redo ? imageUndoNames : imageRedoNames;
    if (from.empty())
        return;
    const QString what = (redo ? QStringLiteral("Redo ") : QStringLiteral("Undo ")) + fromNames.back();
    const auto step = [&] { return redo ? from.back() : from.back().undone(); };
    if (coversShown(step()) && unsavedChanges() && (!leaveLevel() || from.empty()))
        return;   // cancelled, or the save ended the steps undone
    const wmb::ImageWrite write = step();
    QByteArray &image = boundBytes();
    for (std::size_t i = 0; i < write.bytes.size(); ++i) {
        const auto at = static_cast<qsizetype>(write.offset + static_cast<qint64>(i));
        if (write.bytes[i] != write.replaced[i] && image[at] != write.replaced[i])
            return error(what + QStringLiteral(" is not possible: ") + boundName() +
                         QStringLiteral(" was changed by another program since that step."));
    }
    for (std::size_t i = 0; i < write.bytes.size(); ++i)
        if (write.bytes[i] != write.replaced[i])
            image[static_cast<qsizetype>(write.offset + static_cast<qint64>(i))] = write.bytes[i];
    to.push_back(from.back());
    from.pop_back();
    toNames.push_back(fromNames.back());
    fromNames.pop_back();
    (redo ? done : undone).push_back('I');
    (redo ? undone : done).pop_back();
    if (coversShown(write))
        showRecord(recordOnDisk());
}

// Edit > Replace tile in all levels: the shown level takes part first; the
// question is asked only when some level holds the code.
bool EditorModel::replaceInAllLevels(int from, int to, bool ok)
{
    if (!levelLoaded)
        return false;
    return writeStep(
        [&] {
            return wmb::replaceTileInAllLevels(boundBytes().toStdString(), static_cast<std::uint8_t>(from),
                                               static_cast<std::uint8_t>(to))
                .write;
        },
        ok, QStringLiteral("Replace tile %1 by %2").arg(hexText2(from), hexText2(to)));
}

// Take level n from the image compared with: its record over level n's.
bool EditorModel::takeLevel(int n, const QByteArray &other, bool ok)
{
    const wmb::LevelRecord record = wmb::levelRecordIn(other.toStdString(), n);
    return writeStep([&] { return wmb::pasteLevel(boundBytes().toStdString(), record, n); }, ok,
                     QStringLiteral("Take level %1 from other.nes").arg(n));
}

// A patch that changes nothing asks nothing; otherwise the shown level
// takes part after the question, and a save then made changes the image the
// patch is for, which refuses it.
bool EditorModel::applyPatch(const std::string &image, const std::string &patched, bool ok)
{
    const wmb::ImageWrite write = wmb::writeOfImage(image, patched);
    if (write.empty())
        return false;
    if (!ok)
        return true;
    if (coversShown(write) && unsavedChanges()) {
        if (!leaveLevel())
            return true;
        const std::string now = boundBytes().toStdString();
        if (now != image) {
            error("This patch is for another image: it expects CRC32 " +
                  QString::fromStdString(wmb::crc32Hex(wmb::crc32Of(image), true)) + ", and " + boundName() +
                  " has " + QString::fromStdString(wmb::crc32Hex(wmb::crc32Of(now), true)) + ".");
            return true;
        }
    }
    writeImage(write, QStringLiteral("Apply patch hack.bps"));
    return true;
}

} // namespace model

// The overview as a user works it: its context menu, drags, and the Edit
// menu's Undo and Redo while it is the active window.
void ModelRun::overviewLevels()
{
    model::EditorModel &m = *mModel;
    if (!m.buttonsEnabled)
        return log(QStringLiteral("overview: no level shown"));
    // A short image takes them too, and refuses what it cannot hold.
    LevelOverview *view = mWindow.overview();
    int a = 1 + below(model::Levels), b = chance(80) ? 1 + below(model::Levels) : a;
    // Half the time around the shown level: it, or levels on either side.
    if (chance(50)) {
        const int shown = m.loadedLevel;
        if (chance(40)) {
            a = shown;
        } else {
            a = std::max(1, shown - 1 - below(3));
            b = std::min(model::Levels, shown + 1 + below(3));
            if (chance(50))
                std::swap(a, b);
        }
    }
    const bool ok = chance(80);
    mDialogs.okAnswers = {ok};
    bool asked = false;
    const auto menuCommand = [&](const QString &text) {
        std::unique_ptr<QMenu> menu(view->contextMenuFor(a));
        for (QAction *action : menu->actions())
            if (action->text().remove(QLatin1Char('&')) == text)
                action->trigger();
    };
    const auto drag = [&](Qt::KeyboardModifiers modifiers) {
        QTest::mousePress(view, Qt::LeftButton, {}, view->pictureRect(a).center());
        QTest::mouseMove(view, view->pictureRect(b).center() + QPoint(a == b ? 20 : 0, 0));
        QTest::mouseRelease(view, Qt::LeftButton, modifiers, view->pictureRect(b).center());
    };
    const QString answer = ok ? QStringLiteral("OK") : QStringLiteral("Cancel");
    // How often each case the audit named was met: where the shown level
    // lies against the levels written, with or without unsaved edits, each
    // answer, and on a short image.
    const auto count = [&](int first, int last) {
        const int shown = m.loadedLevel;
        const QString where = m.boundBytes().size() < wmb::RecordsEnd  ? QStringLiteral("on a short image")
                              : shown == first || shown == last         ? QStringLiteral("shown level one of them")
                              : shown > std::min(first, last) && shown < std::max(first, last)
                                  ? QStringLiteral("shown level between")
                                  : QStringLiteral("shown level outside");
        ++mCounts[QStringLiteral("(whole-level write, %1, %2, %3)")
                      .arg(where, m.unsavedChanges() ? QStringLiteral("unsaved edits") : QStringLiteral("no edits"),
                           answer)];
    };
    switch (below(6)) {
    case 0:
        log(QStringLiteral("overview: copy level %1").arg(a));
        menuCommand(QStringLiteral("Copy level %1").arg(a));
        m.copyLevel(a);
        break;
    case 1:
        log(QStringLiteral("overview: paste over level %1, %2").arg(a).arg(answer));
        menuCommand(QStringLiteral("Paste level over %1").arg(a));
        count(a, a);
        asked = m.pasteLevel(a, ok);
        break;
    case 2:
    case 3: {
        const bool swap = below(2) == 0;
        log(QStringLiteral("overview: drag %1 onto %2%3, %4").arg(a).arg(b).arg(swap ? QStringLiteral(" with Ctrl") : QString(), answer));
        drag(swap ? Qt::ControlModifier : Qt::NoModifier);
        if (a != b)
            count(a, b);
        asked = swap ? m.swapLevels(a, b, ok) : m.moveLevel(a, b, ok);
        break;
    }
    default: {
        const bool redo = below(2) == 0;
        log(redo ? QStringLiteral("overview: Edit > Redo") : QStringLiteral("overview: Edit > Undo"));
        QApplication::setActiveWindow(view);
        redo ? mWindow.redoCommand() : mWindow.undoCommand();
        redo ? m.redo() : m.undo();
        break;
    }
    }
    if (asked)
        ++mExpectedQuestions;
    else
        mDialogs.okAnswers.clear();
    // The overview asked to be activated when it was shown: that is over
    // before the editor is made the active window again.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(mWindow.form.get());
    if (!QTest::qWaitForWindowActive(mWindow.form.get()))
        note(QStringLiteral("the editor did not become the active window again"));
}

// A BPS patch applied, a tile replaced in all levels, or a level taken from
// the image compared with: a copy of the image as it first was here, with some levels changed.
void ModelRun::wholeImageEdit()
{
    model::EditorModel &m = *mModel;
    if (!m.buttonsEnabled || m.boundBytes().size() < wmb::RecordsEnd)
        return log(QStringLiteral("whole image: none open"));
    const bool ok = chance(80);
    mDialogs.okAnswers = {ok};
    bool asked = false;
    if (chance(30)) {
        // A BPS patch of a few bytes changed in the image as it now is.
        const std::string image = m.boundBytes().toStdString();
        std::string patched = image;
        for (int i = 0; i < 3; ++i)
            patched[static_cast<std::size_t>(wmb::LevelBaseOf(1 + below(model::Levels)) + below(model::Cells))] =
                static_cast<char>(below(256));
        const QString patchFile = mOtherDir.filePath(QStringLiteral("hack.bps"));
        QFile out(patchFile);
        const QByteArray patch = QByteArray::fromStdString(wmb::makeBps(image, patched));
        if (!out.open(QIODevice::WriteOnly) || out.write(patch) != patch.size())
            return note(QStringLiteral("cannot write hack.bps"));
        out.close();
        log(QStringLiteral("File > Apply patch hack.bps, %1").arg(ok ? "OK" : "Cancel"));
        mDialogs.fileAnswers = {patchFile};
        ++mExpectedFileDialogs;
        mWindow.command(QStringLiteral("File"), QStringLiteral("Apply patch..."))->trigger();
        asked = m.applyPatch(image, patched, ok);
    } else if (chance(50)) {
        const int from = m.levelLoaded && chance(70) ? m.map[static_cast<std::size_t>(below(model::Cells))].code.toInt(nullptr, 16)
                                                      : below(256);
        const int to = below(256);
        log(QStringLiteral("Edit > Replace tile %1 by %2 in all levels, %3").arg(from, 0, 16).arg(to, 0, 16).arg(ok ? "OK" : "Cancel"));
        mDialogs.replaceAnswer = TileReplacementAnswer{QString::number(from, 16), QString::number(to, 16), true};
        mWindow.command(QStringLiteral("Edit"), QStringLiteral("Replace tile..."))->trigger();
        asked = m.replaceInAllLevels(from, to, ok);
    } else {
        if (mOtherImage.isEmpty()) {
            mOtherImage = m.boundBytes();
            for (int i = 0; i < 4; ++i)
                mOtherImage[wmb::LevelBaseOf(1 + below(model::Levels)) + below(model::Cells)] = static_cast<char>(below(256));
            QFile other(mOtherDir.filePath(QStringLiteral("other.nes")));
            if (!other.open(QIODevice::WriteOnly) || other.write(mOtherImage) != mOtherImage.size())
                return note(QStringLiteral("cannot write other.nes"));
            other.close();
            log(QStringLiteral("File > Compare with other.nes"));
            mDialogs.fileAnswers = {other.fileName()};
            ++mExpectedFileDialogs;
            mWindow.command(QStringLiteral("File"), QStringLiteral("Compare with..."))->trigger();
        }
        const int n = 1 + below(model::Levels);
        log(QStringLiteral("overview: take level %1 from other.nes, %2").arg(n).arg(ok ? "OK" : "Cancel"));
        std::unique_ptr<QMenu> menu(mWindow.overview()->contextMenuFor(n));
        QAction *take = menu->actions().back();
        if (take->text() != QStringLiteral("Take level %1 from other.nes").arg(n))
            return note(QStringLiteral("no Take level in the overview's menu"));
        take->trigger();
        asked = m.takeLevel(n, mOtherImage, ok);
    }
    if (asked)
        ++mExpectedQuestions;
    else
        mDialogs.okAnswers.clear();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(mWindow.form.get());
    if (!QTest::qWaitForWindowActive(mWindow.form.get()))
        note(QStringLiteral("the editor did not become the active window again"));
}
