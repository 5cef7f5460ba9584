// File names between the file system and Qt's strings.
//
// A file name is bytes. Bytes that are UTF-8 become the text QFile::decodeName
// gives; a byte that is not part of UTF-8 is kept as one of the code points
// U+DC80 to U+DCFF, so that every name the file system allows comes back byte
// for byte. Every path the editor hands to the level core, and every path it
// takes from it, the command line or a drop, goes through this pair.
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QUrl;

QString qStringFromPath(std::string_view path);
std::string pathFromQString(const QString &path);

// A path as the user reads it (titles, messages, menus): a kept byte reads
// as U+FFFD, as Qt's own file dialogs show it.
QString shownPath(const QString &path);
// The last part of a path, as shown.
QString shownFileName(const QString &path);
// A shown path cut to at most `limit` characters by an ellipsis in its
// middle, the file name kept whole (alone after the ellipsis when even the
// name is longer).
QString elidedPath(const QString &shown, int limit = 60);

// The file a Qt file dialog returned. The dialog reads names that are not
// UTF-8 with U+FFFD in place of their bytes; each part of the path that does
// not exist as returned is taken as the one name in its folder that reads
// the same. A name that matches none or several is left as returned.
QString pathFromDialog(const QString &chosen);

// The local file of a dropped URL, its percent-encoded bytes kept as they
// are; empty for anything but a local file.
QString pathFromUrl(const QUrl &url);

// path made absolute against the process's current folder.
QString absolutePath(const QString &path);
