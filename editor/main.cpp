// The editor's entry: the command line, the application title "WMBeditor",
// the main window, the message loop. SIGTERM, SIGINT and SIGHUP end the loop
// as Quit does, without a question, so the exit below always runs (and the
// recovery file of unsaved edits stays for the next start); test
// copies left by editors that have ended are removed at the start and again
// at the exit, and the data folder's temporary files of killed writes at the
// start.
#include <QApplication>

#include <iostream>

#include "commandline.h"
#include "datafolder.h"
#include "desktop.h"
#include "dialogs.h"
#include "emulator.h"
#include "guardedapplication.h"
#include "pathnames.h"
#include "platform.h"
#include "tform1.h"

int main(int argc, char *argv[])
{
    // Read before the application object exists, so --help and --version
    // work without a display; UTF-8 on every system, so any file name works.
    const std::vector<std::string> args = wmb::commandLineArguments(argc, argv);
    wmb::setBinaryStandardOutput();
    const EditorCommandLine line =
        parseEditorCommandLine(std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
    switch (line.action) {
    case EditorCommandLine::Action::Help:
        std::cout << editorUsage();
        return 0;
    case EditorCommandLine::Action::Version:
        std::cout << "wmbeditor " << WMBEDITOR_VERSION << "\nMIT licence; Qt " << qVersion() << " under the LGPL 3\n";
        return 0;
    case EditorCommandLine::Action::Usage:
        std::cerr << line.error << "\n" << editorUsage();
        return 2;
    case EditorCommandLine::Action::Run:
        break;
    }

    GuardedApplication app(argc, argv);
    setUpApplication();
    endOnTerminationRequests();
    TestCopies::removeLeftovers();
    removeDataFolderLeftovers();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    if (!line.rom.empty())
        form.openRomImage(absolutePath(qStringFromPath(line.rom)), line.level ? line.level : 1);
    form.offerRecovery();
    const int status = app.exec();
    TestCopies::removeLeftovers();
    return status;
}
