// Find, replace and compare: their commands, and the marks the session's
// search and comparison leave on the map, the overview and the status bar.
#include "tform1.h"

#include <QAction>
#include <QMenu>

#include "editorsession.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "mapmarks.h"
#include "statusbar.h"

void TForm1::placeMapMarks() { mMapMarks->place(mLayout); }

void TForm1::createFindCommands()
{
    const auto loaded = [this] { return mDocument->levelLoaded(); };
    EditMenu->addSeparator();
    addCommand(EditMenu, QStringLiteral("F&ind tile..."), QKeySequence(Qt::CTRL | Qt::Key_F),
               [this] { mSession->findTile(); }, loaded);
    addCommand(EditMenu, QStringLiteral("Find ne&xt"), QKeySequence(Qt::Key_F3), [this] { mSession->findNext(true); },
               loaded);
    addCommand(EditMenu, QStringLiteral("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
               [this] { mSession->findNext(false); }, loaded);
    addCommand(EditMenu, QStringLiteral("R&eplace tile..."), QKeySequence(Qt::CTRL | Qt::Key_H),
               [this] { mSession->replaceTile(); }, loaded);
    mMapMarks = new MapMarks(Panel1);
    mMapMarks->place(mLayout);
    mMapMarks->raise();
    mapFocus()->raise();
    connect(mSession, &EditorSession::marksChanged, this, &TForm1::showMarks);
    connect(mSession, &EditorSession::noteChanged, this, [this] { statusBar()->showNote(mSession->note()); });
}

void TForm1::createCompareCommands()
{
    addCommand(FileMenu, QStringLiteral("Compare &with..."), {}, [this] { mSession->compareWith(); },
               [this] { return mDocument->hasImage(); });
    addCommand(FileMenu, QStringLiteral("&Backups..."), {}, [this] { mSession->showBackups(); },
               [this] { return mDocument->hasImage(); });
    addCommand(FileMenu, QStringLiteral("Stop c&omparing"), {}, [this] { mSession->stopComparing(); },
               [this] { return mSession->comparing(); });
}

void TForm1::fillOverviewMenu(QMenu *menu, int level)
{
    if (!mSession->comparing())
        return;
    menu->addSeparator();
    QAction *take =
        menu->addAction(QStringLiteral("Take level %1 from %2").arg(level).arg(mSession->comparison()->name()));
    take->setEnabled(mSession->differingBytes()[static_cast<std::size_t>(level - 1)] != 0);
    connect(take, &QAction::triggered, this, [this, level] {
        guarded([&] {
            EditorSession::Acting acting(*mSession, mOverview);
            mSession->takeLevel(level);
        });
    });
}

void TForm1::showMarks()
{
    mMapMarks->setMarks(mSession->foundCells(), mSession->differingCells());
    statusBar()->showSearch(mSession->searchText());
    statusBar()->showComparison(mSession->comparisonText());
    if (mOverview) {
        mOverview->setFoundTile(mSession->foundCode());
        mOverview->setDifferences(mSession->comparing() ? mSession->differingBytes()
                                                        : std::array<int, wmb::LevelCount>{});
    }
    refreshCommands();
}
