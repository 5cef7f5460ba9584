#include "cli.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <unistd.h>

#include "levelrecord.h"
#include "romimage.h"
#include "wholefile.h"

namespace wmbtool {

Failure fileFailure(const std::string &path, const std::string &message)
{
    return Failure(path + ": " + message);
}

Failure fileFailure(const std::string &path, const wmb::RuntimeError &error)
{
    const auto *io = dynamic_cast<const wmb::InOutError *>(&error);
    if (io && io->code() == ELOOP)
        return fileFailure(path, "Too many levels of symbolic links");
    return fileFailure(path, error.what());
}

void expectArgs(const Invocation &inv, std::size_t count, std::string_view names)
{
    if (inv.args.size() != count)
        throw UsageError(inv.command + " takes " + std::string(names) + " (" + std::to_string(count) +
                         " arguments, got " + std::to_string(inv.args.size()) + ")");
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

namespace {

// The descriptor an output names as a stream, -1 for a file.
int outputDescriptor(const std::string &out)
{
    if (out == StandardOutput || out == "/dev/stdout")
        return STDOUT_FILENO;
    if (out == "/dev/stderr")
        return STDERR_FILENO;
    constexpr std::string_view fdFolder = "/dev/fd/";
    if (!out.starts_with(fdFolder) || out.size() == fdFolder.size() || out.size() > fdFolder.size() + 6)
        return -1;
    const std::string digits = out.substr(fdFolder.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(digits);
}

} // namespace

void writeOutput(const std::string &out, std::string_view bytes)
{
    const int fd = outputDescriptor(out);
    if (fd == STDOUT_FILENO) {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        finishStdout();
        return;
    }
    if (fd < 0) {
        onFile(out, [&] { wmb::writeFileAtomically(out, bytes); });
        return;
    }
    // Another inherited descriptor: written in order after anything printed.
    std::cout.flush();
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw fileFailure(out, "write error");
        done += static_cast<std::size_t>(put);
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
