// The level overview: shown beside the editor, and its whole levels, each
// request the session's, with its questions asked over the overview so
// that the focus goes back there.
#include "tform1.h"

#include <QMenu>
#include <QScreen>

#include "editormenus.h"
#include "editorsession.h"
#include "leveldocument.h"
#include "leveloverview.h"

void TForm1::connectOverviewLevels()
{
    const auto inOverview = [this](std::function<void()> body) {
        EditorSession::Acting acting(*mSession, mOverview);
        guarded(body);
    };
    connect(mOverview, &LevelOverview::openRequested, this, [=, this](int n) { inOverview([&] { mSession->openLevel(n); }); });
    connect(mOverview, &LevelOverview::copyRequested, this,
            [=, this](int n) { inOverview([&] { mSession->copyLevel(n); }); });
    connect(mOverview, &LevelOverview::pasteRequested, this, [=, this](int n) {
        inOverview([&] { mSession->pasteClipboardLevelOver(n); });
    });
    connect(mOverview, &LevelOverview::swapRequested, this,
            [=, this](int n, int with) { inOverview([&] { mSession->swapLevels(n, with); }); });
    connect(mOverview, &LevelOverview::moveRequested, this,
            [=, this](int from, int to) { inOverview([&] { mSession->moveLevel(from, to); }); });
    connect(mOverview, &LevelOverview::contextMenuFilling, this, &TForm1::fillOverviewMenu);
}

// The overview follows the document; a level it opens is asked for here, so
// that the unsaved-changes question comes first.
void TForm1::showLevelOverview()
{
    if (!mDocument->hasImage())
        return;
    if (!mOverview) {
        mOverview = new LevelOverview(*mDocument, mTiles, this);
        connectOverviewLevels();
        showMarks();
        mOverview->addActions(mMenus->overviewCommands());
        // First beside the editor: to its right where the screen allows,
        // else below it.
        const QRect editor = frameGeometry();
        const QScreen *screen = this->screen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        const bool right = room.isNull() || editor.right() + mOverview->frameGeometry().width() <= room.right();
        mOverview->move(right ? QPoint(editor.right() + 1, editor.top()) : QPoint(editor.left(), editor.bottom() + 1));
    }
    mOverview->show();
    mOverview->raise();
    mOverview->activateWindow();
}
