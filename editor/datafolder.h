// The editor's own data folder, apart from any image: its backups and its
// recovery files.
#pragma once

#include <QString>

// QStandardPaths::AppDataLocation (~/.local/share/WMBeditor on Linux, the
// user's AppData on Windows); it may not exist yet.
QString dataFolder();
