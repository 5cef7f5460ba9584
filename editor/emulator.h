// Play-testing a level: the emulator command, and copies of the ROM image
// with the shown level saved into them, started in the emulator.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "levelrecord.h"

class QTemporaryDir;

// The error when no emulator command is set and none is found on the PATH.
inline constexpr const char *NoEmulatorMessage =
    "No NES emulator found. Install fceux, nestopia or mednafen, or set one in Level > Emulator...";

// The emulators tried, in order, when no command is set.
#ifdef Q_OS_WIN
inline const QStringList DefaultEmulators = {QStringLiteral("fceux.exe"), QStringLiteral("nestopia.exe"),
                                             QStringLiteral("mednafen.exe")};
#else
inline const QStringList DefaultEmulators = {QStringLiteral("fceux"), QStringLiteral("nestopia"),
                                             QStringLiteral("mednafen")};
#endif

// A program (a path to an executable file) and its arguments.
struct EmulatorCommand {
    QString program;
    QStringList arguments;
};

// The command to start for the emulator setting: split into words as the
// system splits a command line (a POSIX shell's rules, wmb::splitShellWords,
// nothing expanded; on Windows QProcess::splitCommand's); a blank setting
// takes the first of DefaultEmulators found on the PATH. A program name
// without a folder separator is looked up on the PATH; the program must be an
// executable file. Throws wmb::RuntimeError: NoEmulatorMessage, the
// splitter's error, or "Cannot start the emulator "<program>": <reason>".
EmulatorCommand resolveEmulatorCommand(const QString &setting);

// The copies of the ROM image made for play-testing, in a temporary folder
// made on first use and removed, with every copy, with this object.
class TestCopies {
public:
    TestCopies();
    ~TestCopies();

    // Writes a copy of the image at romPath with `record` saved at levelBase
    // (and at level 1's base too when asFirstLevel), then starts the command,
    // detached, with the copy's path as its last argument. Returns the path.
    // The image at romPath is only read. Every failure throws
    // wmb::RuntimeError and leaves no copy behind.
    QString start(const EmulatorCommand &command, const QString &romPath, std::int32_t levelBase,
                  const wmb::LevelRecord &record, bool asFirstLevel);

private:
    std::unique_ptr<QTemporaryDir> mFolder;
    int mCount = 0;
};
