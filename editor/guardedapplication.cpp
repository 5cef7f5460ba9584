#include "guardedapplication.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>

#include "dialogs.h"

void setUpApplication()
{
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(ApplicationTitle));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/wmbeditor.png")));
}

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
