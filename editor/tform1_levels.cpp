// Whole levels from the overview: copy and paste through the clipboard,
// swap and move, and the image's history. Each write is asked for first,
// names what it replaces, and is one step of the image's history.
#include "tform1.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

#include "cp1251.h"
#include "dialogs.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "leveloverview.h"
#include "levelset.h"

void TForm1::connectOverviewLevels()
{
    connect(mOverview, &LevelOverview::copyRequested, this, &TForm1::copyLevel);
    connect(mOverview, &LevelOverview::pasteRequested, this, &TForm1::pasteLevelOver);
    connect(mOverview, &LevelOverview::swapRequested, this, &TForm1::swapLevels);
    connect(mOverview, &LevelOverview::moveRequested, this, &TForm1::moveLevel);
    connect(mDocument, &LevelDocument::imageHistoryChanged, this, &TForm1::refreshEditCommands);
}

bool TForm1::overviewHasFocus() const { return mOverview && mOverview->isActiveWindow(); }

bool TForm1::askBeforeWriting(const QString &question)
{
    return mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle), question);
}

// The shown level takes part as it stands on screen: after Save as saved,
// after Discard as the image holds it (shown so). False: cancelled.
bool TForm1::shownLevelTakesPart(bool takesPart)
{
    if (!takesPart || !confirmLeaveLevel())
        return !takesPart;
    if (mDocument->wouldChangeRecord())
        mDocument->reloadFromDisk();
    return true;
}

// The record goes on the clipboard as a level file's text; this editor
// keeps its bytes, so that a paste here copies it byte for byte.
void TForm1::copyLevel(int n)
{
    guarded([&] {
        if (!shownLevelTakesPart(n == loadedLevel()))
            return;
        const wmb::LevelRecord record = wmb::levelRecordIn(mDocument->imageBytes(), n);
        const QString text =
            QString::fromStdString(wmb::cp1251ToUtf8(wmb::levelFileText(wmb::fieldsFromRecord(record))));
        QGuiApplication::clipboard()->setText(text);
        mCopiedLevel = CopiedLevel{n, record, text};
    });
}

// The level copied here last while the clipboard still holds its text;
// any other text is read as an imported level file is.
void TForm1::pasteLevelOver(int n)
{
    guarded([&] {
        const QString text = QGuiApplication::clipboard()->text();
        const bool ours = mCopiedLevel && mCopiedLevel->text == text;
        const wmb::LevelRecord record =
            ours ? mCopiedLevel->record
                 : wmb::recordFromFields(wmb::parseLevelFile("\xEF\xBB\xBF" + text.toStdString()));
        const QString what = ours ? QStringLiteral("level %1").arg(mCopiedLevel->level)
                                  : QStringLiteral("the clipboard's level");
        const QString step = QStringLiteral("Paste %1 over level %2").arg(what).arg(n);
        if (!askBeforeWriting(step + QLatin1Char('?')) || !shownLevelTakesPart(n == loadedLevel()))
            return;
        mDocument->writeImage(wmb::pasteLevel(mDocument->imageBytes(), record, n), step.toStdString());
    });
}

void TForm1::swapLevels(int level, int with)
{
    guarded([&] {
        if (with == 0) {
            const std::optional<int> answer = mDialogs.askLevelNumber(this, level);
            if (!answer)
                return;
            with = *answer;
        }
        if (with == level || !wmb::isLevelNumber(with))
            return;
        const QString step = QStringLiteral("Swap level %1 with level %2").arg(level).arg(with);
        if (!askBeforeWriting(step + QLatin1Char('?')) ||
            !shownLevelTakesPart(loadedLevel() == level || loadedLevel() == with))
            return;
        mDocument->writeImage(wmb::swapLevels(mDocument->imageBytes(), level, with), step.toStdString());
    });
}

// The levels between shift one place, so each of them takes part.
void TForm1::moveLevel(int from, int to)
{
    guarded([&] {
        if (from == to)
            return;
        const QString step = QStringLiteral("Move level %1 to place %2").arg(from).arg(to);
        const int shown = loadedLevel();
        if (!askBeforeWriting(step + QLatin1Char('?')) ||
            !shownLevelTakesPart(shown >= std::min(from, to) && shown <= std::max(from, to)))
            return;
        mDocument->writeImage(wmb::moveLevel(mDocument->imageBytes(), from, to), step.toStdString());
    });
}

// An undo or redo that writes over the shown level asks about its unsaved
// changes first.
void TForm1::undoImageWrite(bool redo)
{
    guarded([&] {
        const wmb::ImageHistory &history = mDocument->imageHistory();
        const wmb::ImageWrite *write = redo ? history.redoWrite() : history.undoWrite();
        if (!write || !shownLevelTakesPart(wmb::writeCoversLevel(*write, loadedLevel())))
            return;
        redo ? mDocument->redoImageWrite() : mDocument->undoImageWrite();
    });
}
