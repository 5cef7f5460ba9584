// Play-testing a level: the emulator command, and copies of the ROM image
// with the shown level saved into them, started in the emulator.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

#include "levelrecord.h"

class QLockFile;

// The error when no emulator command is set and none is found.
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

// The folders searched after the PATH for a program named without a folder:
// where distributions put games and emulators, often not on root's PATH.
#ifdef Q_OS_WIN
inline const QStringList EmulatorFolders = {};
#else
inline const QStringList EmulatorFolders = {QStringLiteral("/usr/games"), QStringLiteral("/usr/local/games")};
#endif

// A program (a path to an executable file) and its arguments.
struct EmulatorCommand {
    QString program;
    QStringList arguments;
};

// The command to start for the emulator setting: split into words as the
// system splits a command line (a POSIX shell's rules, wmb::splitShellWords,
// nothing expanded; on Windows QProcess::splitCommand's); a blank setting
// takes the first of DefaultEmulators found. A program name without a folder
// separator is looked up on the PATH, then in `folders`; the program must be
// an executable file. Throws wmb::RuntimeError: NoEmulatorMessage, the
// splitter's error, or "Cannot start the emulator "<program>": <reason>".
EmulatorCommand resolveEmulatorCommand(const QString &setting, const QStringList &folders = EmulatorFolders);

// The emulator setting with its program replaced by `program` (the file the
// Emulator dialog's Browse button chose) and its arguments kept, each word
// quoted where needed so that resolveEmulatorCommand splits them back as
// they are. A setting that does not split becomes the program alone.
QString commandWithProgram(const QString &setting, const QString &program);

// The copies of the ROM image made for play-testing. They go in a folder of
// this editor's own, made on first use under the user's cache folder
// (<cache>/testcopies/editor-XXXXXX) and locked (QLockFile "lock" in it)
// while the editor runs. Beside each copy, "<copy>.pid" holds the process id
// of the emulator playing it.
//
// The rule for removing them: a copy goes once its emulator has ended (its
// pid file names no running process); a folder goes, with everything in it,
// once its editor has ended (its lock is free or stale) and none of its
// emulators runs. The editor's exit applies the rule to its own folder, and
// every start to the folders of editors that have ended, so a copy is never
// taken from under a running emulator and none is left behind for good.
// A process id may be reused by another program after its emulator ends;
// the copy is then kept until that process ends too.
class TestCopies {
public:
    TestCopies();
    ~TestCopies();

    // Writes a copy of `image` (the bytes of the image at romPath, which
    // names the copy) with `record` saved at levelBase (and at level 1's base
    // too when asFirstLevel), then starts the command, detached, with the
    // copy's path as its last argument. Returns the path. Every failure
    // throws wmb::RuntimeError and leaves no copy behind.
    QString start(const EmulatorCommand &command, const QString &romPath, std::string image,
                  std::int32_t levelBase, const wmb::LevelRecord &record, bool asFirstLevel);

    // Removes what the rule allows in the folders of editors that have ended.
    static void removeLeftovers();

private:
    const QString &folder();

    QString mFolder;
    std::unique_ptr<QLockFile> mLock;   // held while mFolder is this editor's
    int mCount = 0;
};

