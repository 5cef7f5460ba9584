#include "filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "pathnames.h"

namespace {
// The one local file of a drag, or nothing.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return pathFromUrl(data->urls().front());
}
} // namespace

FileDrop::FileDrop(QWidget *target) : QObject(target)
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    // QDragEnterEvent and QDragMoveEvent are drop events too.
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedFile(drop->mimeData());
    if (path.isEmpty() || !(drop->possibleActions() & Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        emit dropped(path);
    return true;
}
