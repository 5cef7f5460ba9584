// The application object with the last-resort net: no exception ever
// crosses the Qt event loop; one that reaches it is shown in the error box.
#pragma once

#include <QApplication>

class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
