// The editor's entry: the command line, the application title "WMBeditor",
// the main window, the message loop.
#include <QApplication>

#include <iostream>

#include "commandline.h"
#include "dialogs.h"
#include "guardedapplication.h"
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
        std::cout << "wmbeditor " << WMBEDITOR_VERSION << "\n";
        return 0;
    case EditorCommandLine::Action::Usage:
        std::cerr << line.error << "\n" << editorUsage();
        return 2;
    case EditorCommandLine::Action::Run:
        break;
    }

    GuardedApplication app(argc, argv);
    setUpApplication();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    if (!line.rom.empty())
        form.openRomImage(QString::fromLocal8Bit(line.rom.c_str()), line.level ? line.level : 1);
    return app.exec();
}
