// Patches between another image and the open one, and what the image holds.
#include "editorsession.h"

#include <QFileInfo>

#include <optional>

#include "dialogs.h"
#include "errors.h"
#include "checksums.h"
#include "imageinfo.h"
#include "patches.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "romimage.h"
#include "wholefile.h"

namespace {

std::string fileName(const std::string &path) { return shownFileName(qStringFromPath(path)).toStdString(); }

} // namespace

// The patch from an original image to the open image as it is on the disk,
// byte for byte what `wmbtool bps` (or `wmbtool ips`) writes: the name's
// extension decides the format, and for a name without either the file
// type chosen in the dialog gives it its extension. Both dialogs start in
// the open image's folder.
void EditorSession::createPatch()
{
    const std::string open = mDocument.imagePath();
    const QFileInfo image(absolutePath(qStringFromPath(open)));
    const QString originalPath = mDialogs.openFile(asker(), QStringLiteral("OpenDialog3"),
                                                   QStringLiteral(" Open the original ROM image..."),
                                                   QStringLiteral("NES ROM images|*.nes|Any file|*"), image.path());
    if (originalPath.isEmpty())
        return;
    const std::string original = pathFromQString(originalPath);
    if (wmb::sameFile(original, open))
        throw wmb::RuntimeError(fileName(open) +
                                " is the open image itself; choose the unmodified image it was made from");
    const QString patchPath = mDialogs.saveFile(
        asker(), QStringLiteral("SaveDialog3"), QStringLiteral(" Save patch..."),
        QStringLiteral("BPS patches|*.bps|IPS patches|*.ips"), QStringLiteral("bps"),
        image.path() + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".bps"));
    if (patchPath.isEmpty())
        return;
    const std::string out = pathFromQString(patchPath);
    if (wmb::sameFile(out, original) || wmb::sameFile(out, open))
        throw wmb::RuntimeError("The patch would replace " + fileName(out) +
                                ", one of the images it is made from; choose another file");
    if (wmb::fileExists(out) &&
        !mDialogs.askOkCancel(asker(), QStringLiteral("Warning!"), QStringLiteral("File exists, rewrite?")))
        return;

    const wmb::PatchFormat format = wmb::patchFormatOfName(fileName(out)) == wmb::PatchFormat::Ips
                                        ? wmb::PatchFormat::Ips
                                        : wmb::PatchFormat::Bps;
    const LevelDocument::CreatedPatch patch = mDocument.patchFrom(original, format);
    wmb::writeFileAtomically(out, patch.bytes);

    QString message = QStringLiteral("%1: %2, %3 bytes.")
                          .arg(shownFileName(patchPath), QString::fromStdString(wmb::changeSummary(patch.change)),
                               QString::fromStdString(wmb::groupedNumber(patch.bytes.size())));
    if (mDocument.wouldChangeRecord())
        message += QStringLiteral("\nLevel %1 has unsaved changes; they are not in the patch.").arg(mDocument.loadedLevel());
    mDialogs.showMessage(asker(), message);
}

// A patch of either format, known by its content, applied to the open image
// as one step of its history by the rule of every whole-image write, after a
// question that says what it changes. When the shown level's edits are
// saved first, the patch is read again against the image as it then is (a
// BPS patch made for the image before refuses that).
void EditorSession::applyPatch()
{
    const QFileInfo image(absolutePath(qStringFromPath(mDocument.imagePath())));
    const QString patchPath = mDialogs.openFile(asker(), QStringLiteral("OpenDialog4"), QStringLiteral(" Apply patch..."),
                                                QStringLiteral("Patches|*.bps *.ips|Any file|*"), image.path());
    if (patchPath.isEmpty())
        return;
    const std::string patchFile = pathFromQString(patchPath);
    std::optional<LevelDocument::PatchStep> first = mDocument.preparePatch(patchFile);
    const QString imageName = shownFileName(image.filePath());
    if (first->write.empty()) {
        mDialogs.showMessage(asker(), QStringLiteral("The patch changes nothing in %1.").arg(imageName));
        return;
    }
    const QString question = QString::fromStdString(wmb::patchChangeText(first->change)) +
                             QStringLiteral(" Apply it to %1?").arg(imageName);
    const auto compute = [&] {
        if (!first)
            return mDocument.preparePatch(patchFile).write;
        wmb::ImageWrite write = std::move(first->write);
        first.reset();
        return write;
    };
    writeStep(compute, question, QStringLiteral("Apply patch ") + shownFileName(patchPath));
}

// The image as it is on the disk.
void EditorSession::showImageInfo()
{
    QList<QPair<QString, QString>> items;
    for (const auto &[label, value] : wmb::imageInfo(mDocument.imageBytes()))
        items.append({QString::fromStdString(label), QString::fromStdString(value)});
    mDialogs.showImageInfo(asker(), shownFileName(qStringFromPath(mDocument.imagePath())), items);
}
