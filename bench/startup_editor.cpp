// The editor as a user starts it (the entry of editor/main.cpp), ending at
// the first expose of its window.

#include "dialogs.h"
#include "firstexpose.h"
#include "guardedapplication.h"
#include "tform1.h"

int main(int argc, char *argv[])
{
    FirstExpose<GuardedApplication> app(argc, argv);
    setUpApplication();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    return app.exec();
}
