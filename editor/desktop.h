// What the editor needs of the operating system beyond Qt and the level
// core's platform layer (platform.h). Declared here without system types;
// desktop_posix.cpp and desktop_windows.cpp supply it.
#pragma once

#include <QString>
#include <QtGlobal>

// From now on a request to end the process (SIGTERM, SIGINT, SIGHUP) ends
// the application's event loops as Quit would, but without asking: unsaved
// changes are lost, and exec() returns 128 + the signal's number, so the
// program leaves through its normal exit path. A request the process was
// started ignoring (nohup) stays ignored. Call once, after the application
// object exists. On Windows a window program has no terminal: the system
// asks it to end through its windows (a close, the end of a session), which
// the editor answers as every close; nothing is done here.
void endOnTerminationRequests();

// True while the process `pid` runs. A process that has ended but whose
// parent has not yet collected it counts as ended.
bool processRuns(qint64 pid);

// The longest file name that the file system of `folder` takes, counted as
// fileNameLength counts.
int fileNameLimit(const QString &folder);
// The length of a file name as the system counts it: bytes on POSIX
// systems, UTF-16 units on Windows.
int fileNameLength(const QString &name);
