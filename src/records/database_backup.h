// A copy of the records that can be put back: for the SQLite file a
// consistent copy made while the program may be writing to it; a server's
// database is backed up with the server's own tools.
#pragma once

#include "database_settings.h"

#include <QString>

namespace tizhi::records {

// Writes a copy of the SQLite database of `settings` to `target`, which
// appears whole or not at all. Empty on success, else why not (also for a
// PostgreSQL database, which it does not copy).
QString backUp(const DatabaseSettings &settings, const QString &target);

} // namespace tizhi::records
