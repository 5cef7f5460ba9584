// The ROM image as a whole: the look at a file before it is opened, images
// opened read-only, Save ROM As, creating and applying patches, Image info.
#include "tform1.h"

#include <QFileInfo>

#include <optional>

#include "dialogs.h"
#include "errors.h"
#include "checksums.h"
#include "imageinfo.h"
#include "imagehistory.h"
#include "patches.h"
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
// byte for byte what `wmbtool bps` (or `wmbtool ips`) writes: the name's
// extension decides the format, and for a name without either the file
// type chosen in the dialog gives it its extension. Both dialogs start in
// the open image's folder.
void TForm1::createPatch()
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
        this, QStringLiteral("SaveDialog3"), QStringLiteral(" Save patch..."),
        QStringLiteral("BPS patches|*.bps|IPS patches|*.ips"), QStringLiteral("bps"),
        image.path() + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".bps"));
    if (patchPath.isEmpty())
        return;
    const std::string out = pathFromQString(patchPath);
    if (wmb::sameFile(out, original) || wmb::sameFile(out, open))
        throw wmb::RuntimeError("The patch would replace " + fileName(out) +
                                ", one of the images it is made from; choose another file");
    if (wmb::fileExists(out) &&
        !mDialogs.askOkCancel(this, QStringLiteral("Warning!"), QStringLiteral("File exists, rewrite?")))
        return;

    const wmb::PatchFormat format = wmb::patchFormatOfName(fileName(out)) == wmb::PatchFormat::Ips
                                        ? wmb::PatchFormat::Ips
                                        : wmb::PatchFormat::Bps;
    const LevelDocument::CreatedPatch patch = mDocument->patchFrom(original, format);
    wmb::writeFileAtomically(out, patch.bytes);

    QString message = QStringLiteral("%1: %2, %3 bytes.")
                          .arg(shownFileName(patchPath), QString::fromStdString(wmb::changeSummary(patch.change)),
                               QString::fromStdString(wmb::groupedNumber(patch.bytes.size())));
    if (mDocument->wouldChangeRecord())
        message += QStringLiteral("\nLevel %1 has unsaved changes; they are not in the patch.").arg(loadedLevel());
    mDialogs.showMessage(this, message);
}

// A patch of either format, known by its content, applied to the open image
// as one step of its history, after a question that says what it changes;
// the shown level takes part as in any write over it.
void TForm1::applyPatch()
{
    const QFileInfo image(absolutePath(qStringFromPath(mDocument->imagePath())));
    const QString patchPath = mDialogs.openFile(this, QStringLiteral("OpenDialog4"), QStringLiteral(" Apply patch..."),
                                                QStringLiteral("Patches|*.bps *.ips|Any file|*"), image.path());
    if (patchPath.isEmpty())
        return;
    const LevelDocument::PatchStep step = mDocument->preparePatch(pathFromQString(patchPath));
    const QString imageName = shownFileName(image.filePath());
    if (step.write.empty()) {
        mDialogs.showMessage(this, QStringLiteral("The patch changes nothing in %1.").arg(imageName));
        return;
    }
    const QString question = QString::fromStdString(wmb::patchChangeText(step.change)) +
                             QStringLiteral(" Apply it to %1?").arg(imageName);
    const bool overShown = wmb::writeCoversLevel(step.write, loadedLevel());
    if (!askBeforeWriting(question) || !shownLevelTakesPart(overShown))
        return;
    // The shown level's edits may have been saved just now, changing the
    // image the patch was read against: it is applied to the image as it now
    // is (a BPS patch made for the image before refuses that).
    const LevelDocument::PatchStep now = overShown ? mDocument->preparePatch(pathFromQString(patchPath)) : step;
    mDocument->writeImage(now.write, "Apply patch " + shownFileName(patchPath).toStdString());
}

// The image as it is on the disk.
void TForm1::showImageInfo()
{
    QList<QPair<QString, QString>> items;
    for (const auto &[label, value] : wmb::imageInfo(mDocument->imageBytes()))
        items.append({QString::fromStdString(label), QString::fromStdString(value)});
    mDialogs.showImageInfo(this, shownFileName(qStringFromPath(mDocument->imagePath())), items);
}
