// The patch from another image to the open one.
#include "editorsession.h"

#include <QFileInfo>

#include "dialogs.h"
#include "errors.h"
#include "ips.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "romimage.h"
#include "wholefile.h"

namespace {

std::string fileName(const std::string &path) { return shownFileName(qStringFromPath(path)).toStdString(); }

} // namespace

// The patch from an original image to the open image as it is on the disk,
// byte for byte what `wmbtool ips ORIGINAL OPEN OUT` writes.
// Both dialogs start in the open image's folder.
void EditorSession::createIpsPatch()
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
        asker(), QStringLiteral("SaveDialog3"), QStringLiteral(" Save IPS patch..."), QStringLiteral("IPS patches|*.ips"),
        QStringLiteral("ips"), image.path() + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".ips"));
    if (patchPath.isEmpty())
        return;
    const std::string out = pathFromQString(patchPath);
    if (wmb::sameFile(out, original) || wmb::sameFile(out, open))
        throw wmb::RuntimeError("The patch would replace " + fileName(out) +
                                ", one of the images it is made from; choose another file");
    if (wmb::fileExists(out) &&
        !mDialogs.askOkCancel(asker(), QStringLiteral("Warning!"), QStringLiteral("File exists, rewrite?")))
        return;

    const wmb::IpsPatch patch = mDocument.patchFrom(original);
    wmb::writeFileAtomically(out, patch.bytes);

    QString message = QStringLiteral("Wrote %1: %2 bytes changed in %3 records.")
                          .arg(shownFileName(patchPath), QString::number(patch.changedBytes),
                               QString::number(patch.records));
    if (mDocument.wouldChangeRecord())
        message += QStringLiteral("\nLevel %1 has unsaved changes; they are not in the patch.").arg(mDocument.loadedLevel());
    mDialogs.showMessage(asker(), message);
}
