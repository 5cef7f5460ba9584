// What the editor needs of the operating system beyond Qt and the level
// core's platform layer (platform.h). Declared here without system types;
// desktop_posix.cpp and desktop_windows.cpp supply it.
#pragma once

#include <QByteArray>
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

// The clipboard's text as the program that owns it wrote it, when the
// window system keeps it as bytes (X11): another program may put a level
// file's Windows-1251 bytes there as its "UTF-8" text, which Qt would
// decode, turning each letter it cannot read into a replacement character.
// Empty when this process owns the clipboard, when the system hands out
// only decoded text (Windows, Wayland, offscreen), or when no answer comes
// within a second.
QByteArray clipboardTextAsWritten();

// The longest file name that the file system of `folder` takes, counted as
// fileNameLength counts.
int fileNameLimit(const QString &folder);
// The length of a file name as the system counts it: bytes on POSIX
// systems, UTF-16 units on Windows.
int fileNameLength(const QString &name);
