// The editor's own data folder: QStandardPaths::AppDataLocation under the
// application name "WMBeditor" and no organisation (on Linux
// $XDG_DATA_HOME/WMBeditor, else ~/.local/share/WMBeditor; on Windows the
// user's AppData\Roaming\WMBeditor). wmbtool sets the same names, so both
// find the same folder.
#pragma once

#include <QString>

// Empty when the system names none.
QString dataFolder();
// Removes what killed writes left in the data folder and its subfolders
// (temporary files no running write holds). Run at the start.
void removeDataFolderLeftovers();
