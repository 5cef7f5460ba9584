// Finding a tile in every level, replacing it, comparing the open image with
// another one and taking a level from it: the decisions, and the marks they
// leave (counted from the document's records and the shown level as edited).
#include "editorsession.h"

#include <QFileInfo>

#include "dialogs.h"
#include "errors.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "platform.h"
#include "statusbar.h"
#include "wholefile.h"

namespace {

// "1 cell", "37 cells".
QString counted(int n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

QString codeText(int code) { return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(); }

int tileCode(const QString &text)
{
    const int code = tileCodeOf(text.trimmed());
    if (code < 0)
        throw wmb::RuntimeError("\"" + text.toStdString() + "\" is no tile code: type one or two hexadecimal digits");
    return code;
}

// "Differs from other.nes in 5 cells, name, timer", or "Same as other.nes".
QString differenceText(const wmb::LevelDifference &d, const QString &other)
{
    QStringList parts;
    if (d.tiles)
        parts << counted(d.tiles, "cell", "cells");
    const std::pair<bool, const char *> fields[] = {
        {d.name, "name"}, {d.timer, "timer"}, {d.author, "author"}, {d.hint, "hint"}};
    for (const auto &[differs, name] : fields)
        if (differs)
            parts << QLatin1String(name);
    if (parts.isEmpty())
        return QStringLiteral("Same as ") + other;
    return QStringLiteral("Differs from ") + other + QStringLiteral(" in ") + parts.join(QStringLiteral(", "));
}

} // namespace

bool EditorSession::comparing() const { return mComparison && mComparison->active(); }

void EditorSession::findTile()
{
    if (!mDocument.levelLoaded())
        return;
    const QString proposed = mFoundCode >= 0 ? codeText(mFoundCode) : SelectedTileCode;
    const std::optional<QString> typed =
        mDialogs.askText(asker(), QStringLiteral("Find tile"), QStringLiteral("Tile code (hexadecimal):"), proposed);
    if (!typed || typed->trimmed().isEmpty())   // nothing typed: nothing to find
        return;
    mFoundCode = tileCode(*typed);
    refreshMarks();
}

void EditorSession::findNext(bool forward)
{
    if (mFoundCode < 0 || !mDocument.levelLoaded())
        return;
    const int n = wmb::nextLevelHolding(mSearch, mDocument.loadedLevel(), forward);
    if (n != 0 && n != mDocument.loadedLevel() && confirmLeaveLevel())
        loadLevel(n);
}

void EditorSession::clearSearch()
{
    if (mFoundCode < 0)
        return;
    mFoundCode = -1;
    refreshMarks();
}

void EditorSession::replaceTile()
{
    if (!mDocument.levelLoaded())
        return;
    const auto answer =
        mDialogs.askTileReplacement(asker(), mFoundCode >= 0 ? codeText(mFoundCode) : QString(), SelectedTileCode);
    if (!answer)
        return;
    const int from = tileCode(answer->from), to = tileCode(answer->to);
    if (!answer->allLevels) {
        showNote(QStringLiteral("Replaced ") + counted(mDocument.replaceTile(from, to), "cell", "cells"));
        return;
    }
    wmb::TileReplacement replaced;
    const auto compute = [&] {
        replaced = wmb::replaceTileInAllLevels(mDocument.imageBytes(), static_cast<std::uint8_t>(from),
                                               static_cast<std::uint8_t>(to));
        return replaced.write;
    };
    mDocument.openForWriting();
    computeWrite(compute);
    const QString question = QStringLiteral("Replace tile %1 by %2 in %3 (%4)?")
                                 .arg(codeText(from), codeText(to), counted(replaced.levels, "level", "levels"),
                                      counted(replaced.cells, "cell", "cells"));
    if (writeStep(compute, question, QStringLiteral("Replace tile %1 by %2").arg(codeText(from), codeText(to))))
        showNote(QStringLiteral("Replaced ") + counted(replaced.cells, "cell", "cells") + QStringLiteral(" in ") +
                 counted(replaced.levels, "level", "levels"));
}

// Read only: the other image is never written. A file that cannot hold the
// 32 records, or that is no plain file, is refused before any question.
void EditorSession::compareWith()
{
    const QFileInfo open(absolutePath(qStringFromPath(mDocument.imagePath())));
    const QString path =
        mDialogs.openFile(asker(), QStringLiteral("OpenDialog4"), QStringLiteral(" Compare with ROM image..."),
                          QStringLiteral("NES ROM images|*.nes|Any file|*"), open.path());
    if (path.isEmpty())
        return;
    const std::string file = pathFromQString(path);
    const std::string name = shownFileName(path).toStdString();
    const wmb::FileStatus status = wmb::fileStatus(file);
    if (status.kind == wmb::FileKind::Missing)
        throw wmb::InOutError(wmb::IoFileNotFound);
    if (status.kind != wmb::FileKind::Plain)
        throw wmb::RuntimeError(name + " is " +
                                (status.kind == wmb::FileKind::Folder ? "a folder"
                                 : status.kind == wmb::FileKind::Pipe ? "a pipe"
                                                                      : "not a plain file") +
                                ", not a ROM image");
    if (QFileInfo(path).size() < wmb::RecordsEnd)
        throw wmb::RuntimeError(name + " has " + groupedNumber(QFileInfo(path).size()) +
                                " bytes: too small to hold the 32 levels of a Wumblers ROM image");
    if (confirmRomImage(path))
        compareWithImage(file);
}

void EditorSession::compareWithImage(const std::string &path, const QString &name)
{
    if (!mComparison) {
        mComparison = new ImageComparison(this);
        connect(mComparison, &ImageComparison::changed, this, &EditorSession::refreshMarks);
    }
    mComparison->open(path, name);
}

void EditorSession::stopComparing()
{
    if (mComparison)
        mComparison->stop();
}

// As a paste of the other image's record over level n, the other image read
// again first: one changed since is taken as it is now, one that can no
// longer be read is refused.
void EditorSession::takeLevel(int n)
{
    if (!comparing())
        return;
    const QString other = mComparison->name();
    wmb::LevelRecord record;
    try {
        record = wmb::levelRecordIn(wmb::readWholeFile(mComparison->path()), n);
    } catch (const std::exception &e) {
        throw wmb::RuntimeError(other.toStdString() + " can no longer be read (" + e.what() +
                                "); nothing was taken from it");
    }
    const QString step = QStringLiteral("Take level %1 from %2").arg(n).arg(other);
    writeStep([&] { return wmb::pasteLevel(mDocument.imageBytes(), record, n); },
              QStringLiteral("Replace level %1 with level %1 of %2?").arg(n).arg(other), step);
}

// Counts from the image as the document's records hold it, with the shown
// level as the document holds it (unsaved changes included).
void EditorSession::refreshMarks()
{
    const auto &records = mDocument.records();
    const int shown = mDocument.loadedLevel();
    wmb::MapTiles shownTiles{};
    for (int n = 1; shown && n <= wmb::MapCells; ++n)
        shownTiles[static_cast<std::size_t>(n - 1)] = static_cast<std::uint8_t>(mDocument.cell(n) & 0xFF);
    const auto tilesOf = [&](int level) -> const wmb::MapTiles * {
        const auto &record = records[static_cast<std::size_t>(level - 1)];
        return level == shown ? &shownTiles : record ? &record->tiles : nullptr;
    };
    mFoundCells.clear();
    mDifferingCells.clear();
    mSearch = {};
    mSearchText.clear();
    mComparisonText.clear();
    if (mFoundCode >= 0) {
        mSearch.code = static_cast<std::uint8_t>(mFoundCode);
        for (int level = 1; level <= wmb::LevelCount; ++level) {
            const wmb::MapTiles *tiles = tilesOf(level);
            const int count = tiles ? static_cast<int>(wmb::cellsHolding(*tiles, mSearch.code).size()) : 0;
            mSearch.cells[static_cast<std::size_t>(level - 1)] = count;
            mSearch.totalCells += count;
            mSearch.levels += count ? 1 : 0;
        }
        if (shown)
            mFoundCells = wmb::cellsHolding(shownTiles, mSearch.code);
        mSearchText = QStringLiteral("Tile %1: %2 in %3")
                          .arg(codeText(mFoundCode), counted(mSearch.totalCells, "cell", "cells"),
                               counted(mSearch.levels, "level", "levels"));
    }
    mDifferingBytes = {};
    if (comparing()) {
        const wmb::LevelRecords &other = mComparison->records();
        for (int level = 1; level <= wmb::LevelCount; ++level)
            if (const auto &record = records[static_cast<std::size_t>(level - 1)])
                mDifferingBytes[static_cast<std::size_t>(level - 1)] =
                    wmb::compareLevels(*record, other[static_cast<std::size_t>(level - 1)]).bytes;
        if (shown) {
            const wmb::LevelRecord &theirs = other[static_cast<std::size_t>(shown - 1)];
            wmb::LevelRecord ours = mDocument.savedRecord();
            try {
                ours = mDocument.recordToSave();
            } catch (const std::exception &) {
                ours.tiles = shownTiles;   // a timer that cannot be stored yet
            }
            mDifferingCells = wmb::cellsThatDiffer(shownTiles, theirs.tiles);
            mComparisonText = differenceText(wmb::compareLevels(ours, theirs), mComparison->name());
        }
    }
    emit marksChanged();
}
