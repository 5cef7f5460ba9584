#include "commandline.h"

#include "hexcode.h"
#include "levelrecord.h"

namespace {

EditorCommandLine usageError(std::string message)
{
    EditorCommandLine line;
    line.action = EditorCommandLine::Action::Usage;
    line.error = "wmbeditor: " + std::move(message);
    return line;
}

} // namespace

std::string editorUsage()
{
    return "Usage: wmbeditor [ROM] [--level N]\n"
           "  ROM          the ROM image to open, as Open ROM does\n"
           "  --level N    the level to show, 1 to 32 (default 1)\n"
           "  --help       this text\n"
           "  --version    the version\n";
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
