#include "guardedapplication.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <exception>

#include "dialogs.h"

void setUpApplication()
{
    // The display name is left unset: once set, Qt appends it to every
    // window title (" Please, save level file... — WMBeditor"), and the
    // titles must read exactly as given.
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    // Read as the PNG it is, so that no image plug-in is looked for.
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(QStringLiteral(":/wmbeditor.png"), "PNG"))));
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        QtDialogs().showError(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        QtDialogs().showError(activeWindow(), QStringLiteral("Unexpected error"));
    }
    return false;
}
