// Export level and Import level.
#include "tform1.h"

#include <QLineEdit>

#include "dialogs.h"
#include "errors.h"
#include "hexcode.h"
#include "levelfile.h"

void TForm1::Button27Click()
{
    guarded([&] {
        const QString path = mDialogs.saveFile(
            this, QStringLiteral("SaveDialog1"), QStringLiteral(" Please, save level file..."),
            QStringLiteral("Level files|*.level"), QStringLiteral("level"),
            QStringLiteral("level_") + Edit1->text());
        if (path.isEmpty())
            return;
        const std::string file = path.toStdString();
        if (wmb::fileExists(file) &&
            !mDialogs.askOkCancel(this, QStringLiteral("Warning!"),
                                  QStringLiteral("File exists, rewrite?")))
            return;
        wmb::writeFileAtomically(file, wmb::levelFileText(currentFields()));
    });
}

void TForm1::Button28Click()
{
    guarded([&] {
        const QString path = mDialogs.openFile(this, QStringLiteral("OpenDialog2"),
                                               QStringLiteral(" Please, open level file..."),
                                               QStringLiteral("level files|*.level"));
        if (path.isEmpty())
            return;
        importLevel(path);
    });
}

// Everything that can fail is checked before the image or the editor
// changes: the level number the reload will read, the file, every tile
// picture it names, the timer. Then the level loaded last is written and
// reloaded, so the editor shows what the image now holds.
void TForm1::importLevel(const QString &path)
{
    if (!mLevelLoaded)
        throw wmb::NoLevelError();
    wmb::StrToInt(Edit1->text().toStdString());
    const wmb::LevelFields fields = wmb::parseLevelFile(wmb::readWholeFile(path.toStdString()));
    mTiles.loadMap(fields.codes);
    const wmb::LevelRecord record = wmb::recordFromFields(fields);
    RomFile.open();
    wmb::writeLevelRecord(RomFile, LevelBase, record);
    RomFile.sync();
    loadLevel();
}
