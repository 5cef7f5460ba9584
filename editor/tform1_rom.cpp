// The ROM image as a whole: the look at a file before it is opened, images
// opened read-only, Save ROM As and Create IPS patch.
#include "tform1.h"

#include <QFileInfo>

#include <optional>

#include "dialogs.h"
#include "errors.h"
#include "ips.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "romimage.h"
#include "wholefile.h"

namespace {

// The last part of a path of the level core, as a message shows it.
std::string fileName(const std::string &path) { return shownFileName(qStringFromPath(path)).toStdString(); }

} // namespace

// Looks at the file before it is opened: one that does not look like a
// Wumblers ROM image is opened only after an OK. A file that cannot be read
// asks nothing; opening it reports why.
bool TForm1::confirmRomImage(const QString &path)
{
    std::string doubt;
    try {
        wmb::RomFile look;
        look.assign(pathFromQString(path));
        look.openForReading();
        doubt = wmb::romImageDoubt(look);
    } catch (const wmb::RuntimeError &) {
        return true;   // the open itself reports why the file cannot be read
    }
    if (doubt.empty())
        return true;
    return mDialogs.askOkCancel(this, QString::fromLatin1(ApplicationTitle),
                                QStringLiteral("%1 does not look like a Wumblers ROM image (%2). Open it anyway?")
                                    .arg(shownFileName(path), QString::fromStdString(doubt)));
}

// A copy of the open image with the shown level saved into it, written whole
// beside its place and renamed there; then the editor works on the copy. Any
// failure leaves the editor on the image it had. The dialog starts at the
// open image, never in a folder of the same name elsewhere, and replacing
// another file is asked with its whole path, Cancel first. An image whose
// name is gone is copied from the file the editor holds open.
bool TForm1::saveRomAs()
{
    const QString path = mDialogs.saveFile(this, QStringLiteral("SaveDialog2"), QStringLiteral(" Save ROM image as..."),
                                           QStringLiteral("NES ROM images|*.nes"), QStringLiteral("nes"),
                                           absolutePath(qStringFromPath(mDocument->imagePath())));
    if (path.isEmpty())
        return false;
    const std::string target = pathFromQString(path);
    if (wmb::sameFile(target, mDocument->imagePath()))
        return saveLevel();
    if (wmb::fileExists(target) &&
        !mDialogs.askOkCancel(this, QStringLiteral("Warning!"),
                              shownPath(path) + QStringLiteral(" already exists. Replace it?"), Answer::Cancel))
        return false;
    mDocument->saveImageAs(target);
    mSettings.noteRecentRom(path);
    return true;
}

// The patch from an original image to the open image as it is on the disk,
// byte for byte what `wmbtool ips ORIGINAL OPEN OUT` writes.
// Both dialogs start in the open image's folder.
void TForm1::createIpsPatch()
{
    const std::string open = mDocument->imagePath();
    const QFileInfo image(absolutePath(qStringFromPath(open)));
    const QString originalPath = mDialogs.openFile(this, QStringLiteral("OpenDialog3"),
                                                   QStringLiteral(" Open the original ROM image..."),
                                                   QStringLiteral("NES ROM images|*.nes|Any file|*"), image.path());
    if (originalPath.isEmpty())
        return;
    const std::string original = pathFromQString(originalPath);
    if (wmb::sameFile(original, open))
        throw wmb::RuntimeError(fileName(open) +
                                " is the open image itself; choose the unmodified image it was made from");
    const QString patchPath = mDialogs.saveFile(
        this, QStringLiteral("SaveDialog3"), QStringLiteral(" Save IPS patch..."), QStringLiteral("IPS patches|*.ips"),
        QStringLiteral("ips"), image.path() + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".ips"));
    if (patchPath.isEmpty())
        return;
    const std::string out = pathFromQString(patchPath);
    if (wmb::sameFile(out, original) || wmb::sameFile(out, open))
        throw wmb::RuntimeError("The patch would replace " + fileName(out) +
                                ", one of the images it is made from; choose another file");
    if (wmb::fileExists(out) &&
        !mDialogs.askOkCancel(this, QStringLiteral("Warning!"), QStringLiteral("File exists, rewrite?")))
        return;

    const wmb::IpsPatch patch = mDocument->patchFrom(original);
    wmb::writeFileAtomically(out, patch.bytes);

    QString message = QStringLiteral("Wrote %1: %2 bytes changed in %3 records.")
                          .arg(shownFileName(patchPath), QString::number(patch.changedBytes),
                               QString::number(patch.records));
    if (mDocument->wouldChangeRecord())
        message += QStringLiteral("\nLevel %1 has unsaved changes; they are not in the patch.").arg(loadedLevel());
    mDialogs.showMessage(this, message);
}
