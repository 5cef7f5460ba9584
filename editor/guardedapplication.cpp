#include "guardedapplication.h"

#include <QIcon>
#include <QPixmap>

#include <exception>

#include "dialogs.h"
#include "resources/wmbeditor.xpm"

void setUpApplication()
{
    // The display name is left unset: once set, Qt appends it to every
    // window title (" Please, save level file... — WMBeditor"), and the
    // titles must read exactly as given.
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QApplication::setWindowIcon(QIcon(QPixmap(wmbeditor_xpm)));
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
