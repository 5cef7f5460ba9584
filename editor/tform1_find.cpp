// Find, replace and compare: the marks the session's
// search and comparison leave on the map, the overview and the status bar.
#include "tform1.h"

#include <QAction>
#include <QMenu>

#include "editormenus.h"
#include "editorsession.h"
#include "imagecomparison.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "mapview.h"
#include "statusbar.h"

void TForm1::connectMarks()
{
    connect(mSession, &EditorSession::marksChanged, this, &TForm1::showMarks);
    connect(mSession, &EditorSession::noteChanged, this, [this] { statusBar()->showNote(mSession->note()); });
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
        EditorSession::Acting acting(*mSession, mOverview);
        guarded([&] { mSession->takeLevel(level); });
    });
}

void TForm1::showMarks()
{
    mMap->setMarks(mSession->foundCells(), mSession->differingCells());
    statusBar()->showSearch(mSession->searchText());
    statusBar()->showComparison(mSession->comparisonText());
    if (mOverview) {
        mOverview->setFoundTile(mSession->foundCode());
        mOverview->setDifferences(mSession->comparing() ? mSession->differingBytes()
                                                        : std::array<int, wmb::LevelCount>{});
    }
    mMenus->refresh();
}
