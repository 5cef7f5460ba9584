// The editor's command line: wmbeditor [ROM] [--level N], and Qt's own
// options, which are passed over here and left to the application object.
#pragma once

#include <string>
#include <vector>

struct EditorCommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    std::string rom;     // empty: start without a ROM image
    int level = 0;       // 0: level 1, or the number box's level
    std::string error;   // with Action::Usage: one line for standard error
};

// Parses the arguments after the program name. Never throws.
EditorCommandLine parseEditorCommandLine(const std::vector<std::string> &args);

// The text of --help.
std::string editorUsage();
