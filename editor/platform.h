// What the editor needs of the operating system beyond Qt. Declared here
// without system types; platform_posix.cpp supplies it on POSIX systems.
#pragma once

#include <QString>
#include <QtGlobal>

// From now on a request to end the process (SIGTERM, SIGINT, SIGHUP) ends
// the application's event loops as Quit would, but without asking: unsaved
// changes are lost, and exec() returns 128 + the signal's number, so the
// program leaves through its normal exit path. A request the process was
// started ignoring (nohup) stays ignored. Call once, after the application
// object exists.
void endOnTerminationRequests();

// True while the process `pid` runs. A process that has ended but whose
// parent has not yet collected it counts as ended.
bool processRuns(qint64 pid);

// The longest file name, in bytes, that the file system of `folder` takes.
int fileNameLimit(const QString &folder);
