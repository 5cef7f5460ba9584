// wmbtool: the command-line companion of the level editor.
// Exit status: 0 success, 1 failure, 2 wrong usage.
#include <algorithm>
#include <iostream>
#include <new>
#include <string>

#include <QtGlobal>

#include "cli.h"
#include "commands.h"
#include "platform.h"

namespace {

using namespace wmbtool;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// The lines of --version after the name and version.
const std::string VersionNotice = std::string("MIT licence; Qt ") + qVersion() + " under the LGPL 3\n";

bool contains(const std::vector<std::string_view> &list, std::string_view s)
{
    return std::find(list.begin(), list.end(), s) != list.end();
}

// Parses the arguments after the command name. Returns false for --help.
bool parse(const Command &c, int argc, char **argv, Invocation &inv)
{
    inv.command = std::string(c.name);
    bool optionsEnd = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
            inv.args.push_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help" || arg == "-h") {
            return false;
        } else if (contains(c.flags, arg)) {
            inv.flags.insert(arg);
        } else if (const auto eq = arg.find('='); eq != std::string::npos && contains(c.valued, arg.substr(0, eq))) {
            inv.values[arg.substr(0, eq)] = arg.substr(eq + 1);
        } else if (contains(c.valued, arg)) {
            if (i + 1 >= argc)
                throw UsageError("option " + arg + " needs a value");
            inv.values[arg] = argv[++i];
        } else {
            throw UsageError("unknown option " + arg + " for " + inv.command);
        }
    }
    return true;
}

int usageError(const std::string &message, const std::string &command)
{
    std::cerr << "wmbtool: " << message << "\nTry 'wmbtool " << command << (command.empty() ? "" : " ")
              << "--help'.\n";
    return ExitUsage;
}

} // namespace

int main(int argc, char **argv)
{
    // UTF-8 arguments on every system, and results written as bytes.
    std::vector<std::string> argStore = wmb::commandLineArguments(argc, argv);
    std::vector<char *> args;
    for (std::string &arg : argStore)
        args.push_back(arg.data());
    args.push_back(nullptr);
    argc = static_cast<int>(argStore.size());
    argv = args.data();
    wmb::setBinaryStandardOutput();
    if (argc < 2) {
        printHelp(std::cerr);
        return ExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        printHelp(std::cout);
        return 0;
    }
    if (name == "--version") {
        std::cout << "wmbtool " WMBTOOL_VERSION "\n" << VersionNotice;
        return 0;
    }
    const Command *found = findCommand(name);
    if (!found)
        return usageError("unknown command '" + name + "'", "");

    try {
        Invocation inv;
        if (!parse(*found, argc, argv, inv)) {
            printCommandHelp(std::cout, *found);
            finishStdout();
            return 0;
        }
        found->run(inv);
        return 0;
    } catch (const ExitStatus &e) {
        if (*e.what() != '\0')
            std::cerr << "wmbtool: " << e.what() << "\n";
        return e.status();
    } catch (const UsageError &e) {
        return usageError(e.what(), name);
    } catch (const std::bad_alloc &) {
        std::cerr << "wmbtool: out of memory\n";
    } catch (const std::exception &e) {
        std::cerr << "wmbtool: " << e.what() << "\n";
    }
    return ExitFailure;
}
