// Export level and Import level.
#include "tform1.h"

#include <QLineEdit>

#include "dialogs.h"
#include "editorsession.h"
#include "errors.h"
#include "hexcode.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "pathnames.h"
#include "romimage.h"
#include "wholefile.h"

// Writes the level as the controls hold it, unsaved edits included; the ROM
// image and the controls are not touched. The file is written beside its
// place and renamed over it, so a failed export leaves any old file whole.
// The proposed name is that of the level the file holds, the one loaded
// last, whatever the number box says now.
void TForm1::Button27Click()
{
    guarded([&] {
        const QString level = levelLoaded() ? QString::number(loadedLevel()) : Edit1->text();
        const QString path = mDialogs.saveFile(
            this, QStringLiteral("SaveDialog1"), QStringLiteral(" Please, save level file..."),
            QStringLiteral("Level files|*.level"), QStringLiteral("level"), QStringLiteral("level_") + level);
        if (path.isEmpty())
            return;
        const std::string file = pathFromQString(path);
        // The open image itself, or a link of either kind to it, would lose
        // the whole image to one level file.
        if (wmb::sameFile(file, mDocument->imagePath()))
            throw wmb::RuntimeError(shownFileName(path).toStdString() +
                                    " is the open ROM image; choose another file");
        if (wmb::fileExists(file) &&
            !mDialogs.askOkCancel(this, QStringLiteral("Warning!"),
                                  QStringLiteral("File exists, rewrite?")))
            return;
        wmb::writeFileAtomically(file, wmb::levelFileText(mDocument->fields()));
    });
}

// Cancelling the dialog changes nothing: no save and no reload.
void TForm1::Button28Click()
{
    guarded([&] {
        const QString path = mDialogs.openFile(this, QStringLiteral("OpenDialog2"),
                                               QStringLiteral(" Please, open level file..."),
                                               QStringLiteral("level files|*.level"));
        if (path.isEmpty())
            return;
        mSession->importLevel(path);
    });
}
