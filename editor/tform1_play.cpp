// The level overview and play-testing in an emulator (the Level menu).
#include "tform1.h"

#include <QScreen>

#include <QAction>
#include <QMenu>

#include "dialogs.h"
#include "emulator.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "pathnames.h"
#include "settings.h"

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
        // The editor's commands work while the overview has the focus; the
        // map's own keys (letters, Delete, Escape, the region commands) stay
        // with the map.
        for (QMenu *menu : {FileMenu, LevelMenu, ViewMenu})
            mOverview->addActions(menu->actions());
        mOverview->addActions({mUndoAction, mRedoAction});
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

// The record is taken (and its timer checked) before anything is written.
void TForm1::testInEmulator(bool asFirstLevel)
{
    const wmb::LevelRecord record = mDocument->recordToSave();
    const EmulatorCommand command = resolveEmulatorCommand(settings().emulatorCommand());
    if (!mTestCopies)
        mTestCopies = std::make_unique<TestCopies>();
    // A deleted or moved image is played from the handle the editor holds.
    mTestCopies->start(command, qStringFromPath(mDocument->imagePath()), mDocument->imageBytes(),
                       mDocument->levelBase(), record, asFirstLevel);
}

void TForm1::chooseEmulator()
{
    const std::optional<QString> command = mDialogs.askEmulatorCommand(
        this,
        QStringLiteral("Emulator command, for example \"fceux\" or \"mednafen -video.fs 0\".\n"
                       "The ROM image to play is added as its last argument.\n"
                       "Empty: the first of fceux, nestopia and mednafen found on the PATH\n"
                       "or in /usr/games and /usr/local/games."),
        settings().emulatorCommand());
    if (command)
        settings().setEmulatorCommand(command->trimmed());
}
