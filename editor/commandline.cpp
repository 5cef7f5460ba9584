#include "commandline.h"

#include "hexcode.h"
#include "levelrecord.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

EditorCommandLine usageError(std::string message)
{
    EditorCommandLine line;
    line.action = EditorCommandLine::Action::Usage;
    line.error = "wmbeditor: " + std::move(message);
    return line;
}

// Options of Qt itself, which the application object takes from the command
// line, with one dash or two: those followed by a value, those without, and
// those whose value follows "=".
constexpr std::array<std::string_view, 12> QtValueOptions = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "style", "stylesheet"};
constexpr std::array<std::string_view, 2> QtFlagOptions = {"reverse", "widgetcount"};
constexpr std::array<std::string_view, 5> QtEqualsOptions = {"style=", "stylesheet=", "qmljsdebugger=",
                                                             "dialogs=", "fontengine="};

// How many arguments the Qt option at the start of `arg` takes: 2 with its
// value, 1 alone, 0 for anything that is no Qt option.
int qtOptionArguments(std::string_view arg)
{
    if (arg.starts_with("--"))
        arg.remove_prefix(2);
    else if (arg.starts_with('-'))
        arg.remove_prefix(1);
    else
        return 0;
    const auto is = [&](std::string_view name) { return arg == name; };
    if (std::any_of(QtValueOptions.begin(), QtValueOptions.end(), is))
        return 2;
    if (std::any_of(QtFlagOptions.begin(), QtFlagOptions.end(), is) ||
        std::any_of(QtEqualsOptions.begin(), QtEqualsOptions.end(),
                    [&](std::string_view prefix) { return arg.starts_with(prefix); }))
        return 1;
    return 0;
}

} // namespace

std::string editorUsage()
{
    return "Usage: wmbeditor [ROM] [--level N]\n"
           "  ROM          the ROM image to open, as Open ROM does\n"
           "  --level N    the level to show, 1 to 32 (default 1)\n"
           "  --help       this text\n"
           "  --version    the version\n"
           "Qt options are accepted too, such as -platform NAME, -style NAME and\n"
           "-qwindowgeometry WIDTHxHEIGHT+X+Y.\n";
}

EditorCommandLine parseEditorCommandLine(const std::vector<std::string> &args)
{
    EditorCommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "--help" || arg == "-h")) {
            line.action = EditorCommandLine::Action::Help;
            return line;
        } else if (options && arg == "--version") {
            line.action = EditorCommandLine::Action::Version;
            return line;
        } else if (options && (arg == "--level" || arg.rfind("--level=", 0) == 0)) {
            std::string value;
            if (arg == "--level") {
                if (i + 1 >= args.size())
                    return usageError("option --level needs a level number");
                value = args[++i];
            } else {
                value = arg.substr(8);
            }
            std::int32_t n = 0;
            if (!wmb::tryStrToInt(value, n) || !wmb::isLevelNumber(n))
                return usageError("'" + value + "' is not a level number (levels are numbered 1 to 32)");
            line.level = n;
        } else if (const int taken = options ? qtOptionArguments(arg) : 0) {
            // Left in place for the application object, which takes them.
            if (i + taken > args.size())
                return usageError("option " + arg + " needs a value");
            i += static_cast<std::size_t>(taken - 1);
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + arg);
        } else if (line.rom.empty()) {
            line.rom = arg;
        } else {
            return usageError("only one ROM image can be opened, not also " + arg);
        }
    }
    if (line.level != 0 && line.rom.empty())
        return usageError("option --level needs a ROM image");
    return line;
}
