// The editor's entry: application title "WMBeditor", the main window, the
// message loop.
#include <QApplication>

#include "dialogs.h"
#include "guardedapplication.h"
#include "tform1.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    setUpApplication();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    return app.exec();
}
