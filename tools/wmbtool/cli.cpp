#include "cli.h"

#include <algorithm>
#include <iostream>

#include "levelfile.h"
#include "levelrecord.h"
#include "platform.h"
#include "romimage.h"
#include "wholefile.h"

namespace wmbtool {

Failure fileFailure(const std::string &path, const std::string &message)
{
    return Failure(path + ": " + message);
}

Failure fileFailure(const std::string &path, const wmb::RuntimeError &error)
{
    if (const auto *count = dynamic_cast<const wmb::LevelFileCountError *>(&error))
        return fileFailure(path, count->expectation());
    const auto *io = dynamic_cast<const wmb::InOutError *>(&error);
    if (io && io->code() == wmb::ioCodeFromSystemError(wmb::TooManyLinksError))
        return fileFailure(path, "Too many levels of symbolic links");
    return fileFailure(path, error.what());
}

void expectArgs(const Invocation &inv, std::size_t count, std::string_view names)
{
    if (inv.args.size() != count)
        throw UsageError(inv.command + " takes " + std::string(names) + " (" + std::to_string(count) +
                         (count == 1 ? " argument, got " : " arguments, got ") + std::to_string(inv.args.size()) +
                         ")");
}

int levelArgument(const std::string &text)
{
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    if (!digits)
        throw UsageError("'" + text + "' is not a level number (levels are numbered 1 to " +
                         std::to_string(wmb::LevelCount) + ")");
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    const int level = text.size() - first > 3 ? 1000 : std::stoi("0" + text.substr(first));
    if (!wmb::isLevelNumber(level))
        throw Failure("level " + text + ": no such level (levels are numbered 1 to " +
                      std::to_string(wmb::LevelCount) + ")");
    return level;
}

void writeOutput(const std::string &out, std::string_view bytes)
{
    const std::optional<int> stream = out == StandardOutput ? 1 : wmb::streamNamedBy(out);
    if (stream == 1) {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        finishStdout();
        return;
    }
    if (!stream) {
        onFile(out, [&] { wmb::writeFileAtomically(out, bytes); });
        return;
    }
    // Another inherited descriptor: written in order after anything printed.
    std::cout.flush();
    try {
        wmb::writeStream(*stream, bytes.data(), bytes.size());
    } catch (const wmb::RuntimeError &) {
        throw fileFailure(out, "write error");
    }
}

void refuseOverwritingInput(const std::string &out, std::initializer_list<std::string> inputs)
{
    if (out == StandardOutput)
        return;
    for (const std::string &in : inputs) {
        if (wmb::sameFile(in, out))
            throw fileFailure(out, "the output would replace the input file " + in + "; choose another output file");
    }
}

void warnIfNotRomImage(wmb::RomFile &rom)
{
    const std::string doubt = wmb::romImageDoubt(rom);
    if (!doubt.empty())
        std::cerr << "wmbtool: warning: " << rom.path() << " does not look like a Wumblers ROM image (" << doubt
                  << ")\n";
}

void finishStdout()
{
    std::cout.flush();
    if (!std::cout)
        throw Failure("standard output: write error");
}

} // namespace wmbtool
