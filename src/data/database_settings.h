// Which database the database edition keeps its records in, as the
// [Database] section of "Config.ini" says: the embedded SQLite file on one
// desk, or a PostgreSQL server that a clinic's workstations share. A
// password is never read from the settings file; PostgreSQL takes it from
// its usual places (the password file, PGPASSWORD, a service file).
#pragma once

#include <QString>

#include <optional>

namespace tizhi {

struct DatabaseSettings {
    enum class Driver { Sqlite, PostgreSql };
    Driver driver = Driver::Sqlite;
    QString name; // SQLite: the file's absolute path; PostgreSQL: the database
    QString host; // PostgreSQL only; empty: the local socket
    int port = 0; // PostgreSQL only; 0: the server's usual port
    QString user; // PostgreSQL only; empty: the login name
};

// The section's values as written; a key that is not there is nothing.
struct DatabaseSection {
    std::optional<QString> driver;
    std::optional<QString> name;
    std::optional<QString> host;
    std::optional<QString> port;
    std::optional<QString> user;
};

struct DatabaseSettingsResult {
    std::optional<DatabaseSettings> settings;
    QString error; // why the section cannot be used, when it cannot
};

// Reads a [Database] section. Driver "sqlite" (also when not given) or
// "postgresql", in any case. A relative SQLite name is relative to
// `configFolder`, the folder of "Config.ini"; without a name the file is
// "tizhi.sqlite" in `dataFolder`, the user's data folder.
DatabaseSettingsResult interpretDatabaseSection(const DatabaseSection &section,
                                                const QString &configFolder,
                                                const QString &dataFolder);

class IniFile;

// The user's data folder under the program's own name, "tizhi", whatever
// the running application is called: the window and the command-line
// tools find the same default file there.
QString programDataFolder();

// The [Database] section of a "Config.ini" in `configFolder`, read as
// above with programDataFolder(); nothing when the file has no such section.
std::optional<DatabaseSettingsResult> databaseSettingsFromIni(const IniFile &ini,
                                                              const QString &configFolder);

} // namespace tizhi
