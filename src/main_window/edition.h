// Which edition the program runs as, chosen once at start: without a
// [Database] section in "Config.ini" the edition that keeps nothing; with
// one, the database edition on the database it names. The program entry
// reads the settings file and chooses; tests and the bench choose for
// themselves. Every window asks here and nowhere else.
#pragma once

#include "database_settings.h"

#include <optional>

class QString;

namespace tizhi {

// The database the next main window opens, or none for the edition that
// keeps nothing (which is also what a program that never chose runs as).
void chooseEdition(std::optional<DatabaseSettings> database);
const std::optional<DatabaseSettings> &chosenDatabase();

struct EditionChoice {
    std::optional<DatabaseSettings> database;
    QString error; // a [Database] section that cannot be used, and why
};

// The choice "Config.ini" in `folder` makes. A section that cannot be used
// gives no database and the message to show once.
EditionChoice editionFromSettings(const QString &folder);

} // namespace tizhi
