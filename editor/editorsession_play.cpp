// Play-testing in an emulator, the emulator's command, and Open Recent.
#include "editorsession.h"

#include <filesystem>

#include "dialogs.h"
#include "emulator.h"
#include "errors.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "settings.h"

// The record is taken (and its timer checked) before anything is written;
// a deleted or moved image is played from the handle the editor holds.
void EditorSession::testInEmulator(bool asFirstLevel)
{
    const wmb::LevelRecord record = mDocument.recordToSave();
    const EmulatorCommand command = resolveEmulatorCommand(mSettings.emulatorCommand());
    if (!mTestCopies)
        mTestCopies = std::make_unique<TestCopies>();
    mTestCopies->start(command, qStringFromPath(mDocument.imagePath()), mDocument.imageBytes(), mDocument.levelBase(),
                       record, asFirstLevel);
}

void EditorSession::chooseEmulator()
{
    const std::optional<QString> command = mDialogs.askEmulatorCommand(
        asker(),
        QStringLiteral("Emulator command, for example \"fceux\" or \"mednafen -video.fs 0\".\n"
                       "The ROM image to play is added as its last argument.\n"
                       "Empty: the first of fceux, nestopia and mednafen found on the PATH\n"
                       "or in /usr/games and /usr/local/games."),
        mSettings.emulatorCommand());
    if (command)
        mSettings.setEmulatorCommand(command->trimmed());
}

// A file gone since it was listed leaves the list, and says so.
bool EditorSession::openRecent(const QString &path, const std::function<int()> &numberBoxLevel)
{
    std::error_code error;
    if (!std::filesystem::exists(pathFromQString(path), error)) {
        mSettings.removeRecentRom(path);
        throw wmb::InOutError(wmb::IoFileNotFound);
    }
    return openRomAfterQuestion(path, 0, numberBoxLevel);
}
