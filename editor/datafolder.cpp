#include "datafolder.h"

#include <QStandardPaths>

QString dataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }
