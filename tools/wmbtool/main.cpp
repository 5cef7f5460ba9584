// wmbtool: the command-line companion of the level editor.
// Exit status: 0 success, 1 failure, 2 wrong usage.
#include <algorithm>
#include <iostream>
#include <new>
#include <string>

#include "cli.h"
#include "commands.h"
#include "platform.h"

namespace {

using namespace wmbtool;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void printHelp(std::ostream &os)
{
    os << "Usage: wmbtool COMMAND ARGUMENTS...\n"
          "       wmbtool COMMAND --help\n\n"
          "Commands:\n";
    for (const Command &c : commands())
        os << "  " << c.usage << "\n      " << c.summary << "\n";
    os << "\nLEVEL is a level number, 1 to 32. Results go to standard output or to the\n"
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

void printCommandHelp(const Command &c)
{
    std::cout << "Usage: wmbtool " << c.usage << "\n\n" << c.help;
}

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
        std::cout << "wmbtool " WMBTOOL_VERSION "\n";
        return 0;
    }
    const auto &table = commands();
    const auto found = std::find_if(table.begin(), table.end(), [&](const Command &c) { return c.name == name; });
    if (found == table.end())
        return usageError("unknown command '" + name + "'", "");

    try {
        Invocation inv;
        if (!parse(*found, argc, argv, inv)) {
            printCommandHelp(*found);
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
