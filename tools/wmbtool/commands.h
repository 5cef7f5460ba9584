// The commands of wmbtool and their help texts.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"

namespace wmbtool {

struct Command {
    std::string_view name;
    std::string_view usage;                  // the synopsis after "wmbtool "
    std::string_view summary;                // one line for the command list
    std::string_view help;                   // the rest of "wmbtool COMMAND --help"
    std::vector<std::string_view> flags;     // options without a value
    std::vector<std::string_view> valued;    // options taking one value
    void (*run)(const Invocation &);         // throws UsageError or Failure
};

// Every command, in the order the help lists them. The help, `wmbtool help
// COMMAND`, the manual page and the shell completion are all made from this
// table, so a new command needs its entry here and nowhere else.
const std::vector<Command> &commands();
// The command named `name`, or null.
const Command *findCommand(std::string_view name);

// The notes after the command list of `wmbtool --help` (levels, outputs,
// exit status), lines ending in "\n"; the manual page holds them too.
std::string_view helpNotes();
// `wmbtool --help`: the usage, one entry per command, the notes.
void printHelp(std::ostream &os);
// `wmbtool COMMAND --help` and `wmbtool help COMMAND`.
void printCommandHelp(std::ostream &os, const Command &c);

// Ends a command with an exit status of its own (diff: 1 when the images
// differ, 2 when they cannot be compared). A message, when there is one, is
// printed as every failure is.
class ExitStatus : public std::runtime_error {
public:
    explicit ExitStatus(int status, const std::string &message = {});
    int status() const noexcept { return mStatus; }

private:
    int mStatus;
};

void runHelp(const Invocation &inv);
void runList(const Invocation &inv);
void runExport(const Invocation &inv);
void runImport(const Invocation &inv);
void runRender(const Invocation &inv);
void runIps(const Invocation &inv);
void runPatch(const Invocation &inv);
void runBps(const Invocation &inv);
void runApply(const Invocation &inv);
void runInfo(const Invocation &inv);
void runFind(const Invocation &inv);
void runDiff(const Invocation &inv);
void runBackups(const Invocation &inv);
void runBackup(const Invocation &inv);

} // namespace wmbtool
