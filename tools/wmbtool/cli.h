// The command line of wmbtool: parsed arguments, the two kinds of failure
// and the checks every command shares.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "romfile.h"

namespace wmbtool {

// Wrong usage: exit status 2, with a pointer to the help.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed command: exit status 1; what() is the whole line after "wmbtool: ".
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "path: message", the form of every error about a file.
Failure fileFailure(const std::string &path, const std::string &message);
// The same for an error of the level core; a loop of symbolic links reads
// "Too many levels of symbolic links" rather than its error number.
Failure fileFailure(const std::string &path, const wmb::RuntimeError &error);

struct Invocation {
    std::string command;
    std::vector<std::string> args;                 // the positional arguments
    std::set<std::string> flags;                   // "--grid", "--all", ...
    std::map<std::string, std::string> values;     // "--tiles" -> DIR

    bool has(const std::string &flag) const { return flags.count(flag) != 0; }
};

// Throws UsageError unless the command got exactly `count` arguments.
void expectArgs(const Invocation &inv, std::size_t count, std::string_view names);

// The level number argument. Text that is not a decimal number is wrong
// usage; a number outside 1 to 32 is a Failure naming the level.
int levelArgument(const std::string &text);

// Runs f; an error of the level core becomes a Failure naming `path`.
template <class F>
decltype(auto) onFile(const std::string &path, F &&f)
{
    try {
        return f();
    } catch (const wmb::RuntimeError &e) {
        throw fileFailure(path, e);
    }
}

// The output path that means standard output.
inline constexpr std::string_view StandardOutput = "-";

// Writes a command's whole result: as a stream to an output that names one
// ("-" and /dev/stdout, /dev/stderr, /dev/fd/N), otherwise to the file
// through the level core's atomic write (a Failure naming the path).
void writeOutput(const std::string &out, std::string_view bytes);

// Refuses an output path that names one of the inputs (the same file by
// device and inode, through links too), so no command replaces what it reads.
void refuseOverwritingInput(const std::string &out, std::initializer_list<std::string> inputs);

// Prints a warning on standard error when the open image does not look like
// a Wumblers ROM image; the command goes on.
void warnIfNotRomImage(wmb::RomFile &rom);

// Flushes standard output and turns a failed write into a Failure.
void finishStdout();

} // namespace wmbtool
