// The application object with the last-resort net: no exception ever
// crosses the Qt event loop; one that reaches it is shown in the error box.
#pragma once

#include <QApplication>

// The application's title "WMBeditor" (task bar, error and About boxes) and
// its icon; called once, after the application object exists.
void setUpApplication();

class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
