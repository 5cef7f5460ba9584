#include "datafolder.h"

#include <QDirIterator>
#include <QStandardPaths>

#include "pathnames.h"
#include "wholefile.h"

QString dataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

void removeDataFolderLeftovers()
{
    const QString folder = dataFolder();
    if (folder.isEmpty())
        return;
    wmb::removeLeftoverTemporaries(pathFromQString(folder));
    QDirIterator sub(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (sub.hasNext())
        wmb::removeLeftoverTemporaries(pathFromQString(sub.next()));
}
