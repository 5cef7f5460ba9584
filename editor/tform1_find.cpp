// Finding a tile in every level, replacing it, and comparing the open image
// with another one: the commands, and the marks they leave on the map, the
// overview and the status bar. The marks follow the document and the image
// compared with.
#include "tform1.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>

#include "dialogs.h"
#include "errors.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "levelset.h"
#include "maplayout.h"
#include "markcolours.h"
#include "pathnames.h"
#include "statusbar.h"

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

void frame(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    painter.fillRect(r.left(), r.top(), r.width(), width, colour);
    painter.fillRect(r.left(), r.bottom() - width + 1, r.width(), width, colour);
    painter.fillRect(r.left(), r.top(), width, r.height(), colour);
    painter.fillRect(r.right() - width + 1, r.top(), width, r.height(), colour);
}

} // namespace

// Lies over the map cells, under the selection's outline, and lets every
// mouse event through: a found cell is framed on its outer two pixels, a
// differing cell on the two pixels inside those (scaled with the zoom).
class MapMarks : public QWidget {
public:
    explicit MapMarks(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("MapMarks"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void place(const wmb::MapLayout &layout)
    {
        mLayout = layout;
        setGeometry(layout.cellX(1), layout.cellY(1), layout.mapWidth(), layout.mapHeight());
        update();
    }
    void setMarks(const std::vector<int> &found, const std::vector<int> &differing)
    {
        if (found == mFound && differing == mDiffering)
            return;
        mFound = found;
        mDiffering = differing;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int w = mLayout.outline();
        for (int n : mDiffering)
            frame(painter, cellRect(n).adjusted(w, w, -w, -w), w, DifferingColour);
        for (int n : mFound)
            frame(painter, cellRect(n), w, FoundColour);
    }

private:
    QRect cellRect(int n) const
    {
        return {mLayout.cellX(n) - mLayout.cellX(1), mLayout.cellY(n) - mLayout.cellY(1), mLayout.cellSize(),
                mLayout.cellSize()};
    }
    wmb::MapLayout mLayout;
    std::vector<int> mFound, mDiffering;
};

void TForm1::placeMapMarks() { mMapMarks->place(mLayout); }

void TForm1::createFindCommands()
{
    const auto loaded = [this] { return mDocument->levelLoaded(); };
    EditMenu->addSeparator();
    addCommand(EditMenu, QStringLiteral("F&ind tile..."), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { findTile(); },
               loaded);
    addCommand(EditMenu, QStringLiteral("Find ne&xt"), QKeySequence(Qt::Key_F3), [this] { findNext(true); }, loaded);
    addCommand(EditMenu, QStringLiteral("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
               [this] { findNext(false); }, loaded);
    addCommand(EditMenu, QStringLiteral("R&eplace tile..."), QKeySequence(Qt::CTRL | Qt::Key_H),
               [this] { replaceTile(); }, loaded);
    mMapMarks = new MapMarks(Panel1);
    mMapMarks->place(mLayout);
    mMapMarks->raise();
    mapFocus()->raise();
    const auto follow = [this] {
        if (mFoundCode >= 0 || comparing()) {
            rereadMarkRecords();
            refreshMarks();
        }
    };
    connect(mDocument, &LevelDocument::imageChanged, this, follow);
    connect(mDocument, &LevelDocument::edited, this, [this] {
        if (mFoundCode >= 0 || comparing())
            refreshMarks();
    });
}

void TForm1::createCompareCommands()
{
    addCommand(FileMenu, QStringLiteral("Compare &with..."), {}, [this] { compareWith(); },
               [this] { return mDocument->hasImage(); });
    addCommand(FileMenu, QStringLiteral("&Backups..."), {}, [this] { showBackups(); },
               [this] { return mDocument->hasImage(); });
    addCommand(FileMenu, QStringLiteral("Stop c&omparing"), {}, [this] {
        if (mComparison)
            mComparison->stop();
    });
}

bool TForm1::comparing() const { return mComparison && mComparison->active(); }

void TForm1::findTile()
{
    if (!levelLoaded())
        return;
    const QString proposed = mFoundCode >= 0 ? codeText(mFoundCode) : SelectedTileCode;
    const std::optional<QString> typed =
        mDialogs.askText(this, QStringLiteral("Find tile"), QStringLiteral("Tile code (hexadecimal):"), proposed);
    if (!typed || typed->trimmed().isEmpty())   // nothing typed: nothing to find
        return;
    mFoundCode = tileCode(*typed);
    rereadMarkRecords();
    refreshMarks();
}

// Through openLevel, so that unsaved changes are asked about first.
void TForm1::findNext(bool forward)
{
    if (mFoundCode < 0 || !levelLoaded())
        return;
    const int n = wmb::nextLevelHolding(mSearch, loadedLevel(), forward);
    if (n != 0 && n != loadedLevel())
        openLevel(n);
}

void TForm1::clearSearch()
{
    if (mFoundCode < 0)
        return;
    mFoundCode = -1;
    refreshMarks();
}

// The shown level's unsaved changes saved, or dropped, before a write of
// the image that takes in its record. False: the user cancelled.
bool TForm1::leaveShownLevel()
{
    if (!confirmLeaveLevel())
        return false;
    if (mDocument->wouldChangeRecord())
        mDocument->reloadFromDisk();
    return true;
}

void TForm1::replaceTile()
{
    if (!levelLoaded())
        return;
    const auto answer =
        mDialogs.askTileReplacement(this, mFoundCode >= 0 ? codeText(mFoundCode) : QString(), SelectedTileCode);
    if (!answer)
        return;
    const int from = tileCode(answer->from), to = tileCode(answer->to);
    if (!answer->allLevels) {
        statusBar()->showNote(QStringLiteral("Replaced ") + counted(mDocument->replaceTile(from, to), "cell", "cells"));
        return;
    }
    mDocument->openForWriting();
    if (!leaveShownLevel())
        return;
    const wmb::TileReplacement replaced = wmb::replaceTileInAllLevels(mDocument->imageBytes(), static_cast<std::uint8_t>(from),
                                                                      static_cast<std::uint8_t>(to));
    const QString counts = counted(replaced.cells, "cell", "cells") + QStringLiteral(" in ") +
                           counted(replaced.levels, "level", "levels");
    if (replaced.levels != 0 &&
        !mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle),
                              QStringLiteral("Replace tile %1 by %2 in %3 (%4)?")
                                  .arg(codeText(from), codeText(to), counted(replaced.levels, "level", "levels"),
                                       counted(replaced.cells, "cell", "cells"))))
        return;
    mDocument->writeImage(replaced.write, "Replace tile");
    statusBar()->showNote(QStringLiteral("Replaced ") + counts);
}

// Read only: the other image is never written.
void TForm1::compareWith()
{
    const QFileInfo open(absolutePath(qStringFromPath(mDocument->imagePath())));
    const QString path =
        mDialogs.openFile(this, QStringLiteral("OpenDialog4"), QStringLiteral(" Compare with ROM image..."),
                          QStringLiteral("NES ROM images|*.nes|Any file|*"), open.path());
    if (path.isEmpty() || !confirmRomImage(path))
        return;
    compareWithImage(pathFromQString(path));
}

// `name` is how messages name the other image; its file name when empty.
void TForm1::compareWithImage(const std::string &path, const QString &name)
{
    if (!mComparison) {
        mComparison = new ImageComparison(this);
        connect(mComparison, &ImageComparison::changed, this, [this] {
            rereadMarkRecords();
            refreshMarks();
        });
    }
    mComparison->open(path, name);
}

// As a paste of the other image's record over level n.
void TForm1::takeLevel(int n)
{
    if (!comparing())
        return;
    mDocument->openForWriting();
    if (n == loadedLevel() && !leaveShownLevel())
        return;
    const QString other = mComparison->name();
    const wmb::ImageWrite write = wmb::pasteLevel(mDocument->imageBytes(), mComparison->records()[n - 1], n);
    if (write.empty() ||
        !mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle),
                              QStringLiteral("Replace level %1 with level %1 of %2?").arg(n).arg(other)))
        return;
    mDocument->writeImage(write, QStringLiteral("Take level %1 from %2").arg(n).arg(other).toStdString());
}

void TForm1::fillOverviewMenu(QMenu *menu, int level)
{
    if (!comparing())
        return;
    menu->addSeparator();
    QAction *take = menu->addAction(QStringLiteral("Take level %1 from %2").arg(level).arg(mComparison->name()));
    take->setEnabled(mOverview && mOverview->differingBytes(level) != 0);
    connect(take, &QAction::triggered, this, [this, level] { guarded([&] { takeLevel(level); }); });
}

void TForm1::rereadMarkRecords() { mMarkRecords = mDocument->readAllRecords(); }

// Counts from the image as read, with the shown level as the document holds
// it (unsaved changes included).
void TForm1::refreshMarks()
{
    const int shown = loadedLevel();
    wmb::MapTiles shownTiles{};
    for (int n = 1; shown && n <= wmb::MapCells; ++n)
        shownTiles[static_cast<std::size_t>(n - 1)] = static_cast<std::uint8_t>(mDocument->cell(n) & 0xFF);
    const auto tilesOf = [&](int level) -> const wmb::MapTiles * {
        const auto &record = mMarkRecords[static_cast<std::size_t>(level - 1)];
        return level == shown ? &shownTiles : record ? &record->tiles : nullptr;
    };
    mFoundCells.clear();
    mDifferingCells.clear();
    mSearch = {};
    QString searchText, comparisonText;
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
        searchText = QStringLiteral("Tile %1: %2 in %3")
                         .arg(codeText(mFoundCode), counted(mSearch.totalCells, "cell", "cells"),
                              counted(mSearch.levels, "level", "levels"));
    }
    std::array<int, wmb::LevelCount> differing{};
    if (comparing()) {
        const wmb::LevelRecords &other = mComparison->records();
        for (int level = 1; level <= wmb::LevelCount; ++level)
            if (const auto &record = mMarkRecords[static_cast<std::size_t>(level - 1)])
                differing[static_cast<std::size_t>(level - 1)] =
                    wmb::compareLevels(*record, other[static_cast<std::size_t>(level - 1)]).bytes;
        if (shown) {
            const wmb::LevelRecord &theirs = other[static_cast<std::size_t>(shown - 1)];
            wmb::LevelRecord ours = mDocument->savedRecord();
            try {
                ours = mDocument->recordToSave();
            } catch (const std::exception &) {
                ours.tiles = shownTiles;   // a timer that cannot be stored yet
            }
            mDifferingCells = wmb::cellsThatDiffer(shownTiles, theirs.tiles);
            comparisonText = differenceText(wmb::compareLevels(ours, theirs), mComparison->name());
        }
    }
    mMapMarks->setMarks(mFoundCells, mDifferingCells);
    statusBar()->showSearch(searchText);
    statusBar()->showComparison(comparisonText);
    if (mOverview) {
        mOverview->setFoundTile(mFoundCode);
        mOverview->setDifferences(differing);
    }
}
