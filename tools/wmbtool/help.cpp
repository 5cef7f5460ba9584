// The help texts of wmbtool, made from the command table.
#include <algorithm>
#include <iostream>

#include "commands.h"

namespace wmbtool {

const Command *findCommand(std::string_view name)
{
    const auto &table = commands();
    const auto found = std::find_if(table.begin(), table.end(), [&](const Command &c) { return c.name == name; });
    return found == table.end() ? nullptr : &*found;
}

std::string_view helpNotes()
{
    return "LEVEL is a level number, 1 to 32. Results go to standard output or to the\n"
           "named output file, which is written whole or not at all; an output named\n"
#ifdef _WIN32
           "- is written to standard output as a stream.\n"
#else
           "-, /dev/stdout or /dev/fd/N is written as a stream (- is standard output).\n"
#endif
           "A link is followed to the file it names, a file replaced keeps its\n"
           "permissions, and a file of several hard links is rewritten in place.\n"
           "Only import writes into a ROM image.\n"
           "Exit status: 0 success, 1 failure, 2 wrong usage (diff: 1 when the images\n"
           "differ, 2 when they cannot be compared).\n";
}

void printHelp(std::ostream &os)
{
    os << "Usage: wmbtool COMMAND ARGUMENTS...\n"
          "       wmbtool COMMAND --help\n"
          "       wmbtool help COMMAND\n\n"
          "Commands:\n";
    for (const Command &c : commands())
        os << "  " << c.usage << "\n      " << c.summary << "\n";
    os << "\n" << helpNotes();
}

void printCommandHelp(std::ostream &os, const Command &c)
{
    os << "Usage: wmbtool " << c.usage << "\n\n" << c.help;
}

void runHelp(const Invocation &inv)
{
    if (inv.args.size() > 1)
        throw UsageError("help takes at most one COMMAND (got " + std::to_string(inv.args.size()) + ")");
    if (inv.args.empty()) {
        printHelp(std::cout);
    } else if (const Command *c = findCommand(inv.args[0])) {
        printCommandHelp(std::cout, *c);
    } else {
        throw UsageError("unknown command '" + inv.args[0] + "'");
    }
    finishStdout();
}

} // namespace wmbtool
