// The level overview and play-testing in an emulator (the Level menu).
#include "tform1.h"

#include <QAction>
#include <QMenu>

#include "dialogs.h"
#include "emulator.h"
#include "leveloverview.h"
#include "pathnames.h"
#include "settings.h"

void TForm1::createPlayCommands()
{
    LevelMenu->addSeparator();
    mOverviewAction = addCommand(LevelMenu, QStringLiteral("Level &overview"), QKeySequence(Qt::CTRL | Qt::Key_L),
                                 [this] { showLevelOverview(); });
    LevelMenu->addSeparator();
    mTestAction = addCommand(LevelMenu, QStringLiteral("&Test in emulator"), QKeySequence(Qt::Key_F5),
                             [this] { testInEmulator(false); });
    mTestFirstAction = addCommand(LevelMenu, QStringLiteral("Test as &first level"),
                                  QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { testInEmulator(true); });
    mEmulatorAction = addCommand(LevelMenu, QStringLiteral("&Emulator..."), {}, [this] { chooseEmulator(); });
    connect(this, &TForm1::romImageChanged, this, &TForm1::updatePlayCommands);
    connect(this, &TForm1::levelShown, this, &TForm1::updatePlayCommands);
    updatePlayCommands();
}

void TForm1::updatePlayCommands()
{
    mOverviewAction->setEnabled(RomFile.assigned());
    mTestAction->setEnabled(levelLoaded());
    mTestFirstAction->setEnabled(levelLoaded());
}

void TForm1::showLevelOverview()
{
    if (!RomFile.assigned())
        return;
    if (!mOverview)
        mOverview = new LevelOverview(*this);
    mOverview->show();
    mOverview->raise();
    mOverview->activateWindow();
}

// The record is taken (and its timer checked) before anything is written.
void TForm1::testInEmulator(bool asFirstLevel)
{
    const wmb::LevelRecord record = recordToSave();
    const EmulatorCommand command = resolveEmulatorCommand(settings().emulatorCommand());
    if (!mTestCopies)
        mTestCopies = std::make_unique<TestCopies>();
    // A deleted or moved image is played from the handle the editor holds.
    mTestCopies->start(command, qStringFromPath(RomFile.path()), imageBytes(), LevelBase, record, asFirstLevel);
}

void TForm1::chooseEmulator()
{
    const std::optional<QString> command = mDialogs.askText(
        this, QStringLiteral("Emulator"),
        QStringLiteral("Emulator command, for example \"fceux\" or \"mednafen -video.fs 0\".\n"
                       "The ROM image to play is added as its last argument.\n"
                       "Empty: the first of fceux, nestopia and mednafen found on the PATH."),
        settings().emulatorCommand());
    if (command)
        settings().setEmulatorCommand(command->trimmed());
}
