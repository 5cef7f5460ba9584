#include "guardedapplication.h"

#include <QMessageBox>

#include <exception>

#include "dialogs.h"

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        QMessageBox::critical(activeWindow(), QString::fromLatin1(ApplicationTitle),
                              errorBoxText(QString::fromUtf8(e.what())));
    } catch (...) {
        QMessageBox::critical(activeWindow(), QString::fromLatin1(ApplicationTitle),
                              QStringLiteral("Unexpected error."));
    }
    return false;
}
