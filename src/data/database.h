// The database edition's one connection: opened from the settings, the
// schema made or brought up to date, and opened again when a server that
// went away is back. Everything else in the data layer works on the
// QSqlDatabase it hands out; the windows never see SQL.
#pragma once

#include "database_settings.h"

#include <QSqlDatabase>
#include <QString>

namespace tizhi {

class Database {
public:
    explicit Database(DatabaseSettings settings);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the connection and makes or migrates the schema. Empty on
    // success; otherwise one message naming the cause (the file cannot be
    // read or is no database, the server cannot be reached or refuses the
    // login, the schema is newer than this program knows), and nothing was
    // written.
    QString open();
    bool isOpen() const;

    QSqlDatabase connection() const;
    const DatabaseSettings &settings() const { return settings_; }
    // Where the records are kept, for the notice panels: the file, or the
    // server and database.
    QString location() const;

    // How long SQLite waits for another program that holds the file locked
    // before it reports the lock; tests shorten it.
    void setBusyTimeout(int milliseconds) { busyTimeoutMs_ = milliseconds; }

    // Checks that the connection still answers and, when it does not,
    // opens it again. False, with `error` set, while the server is away.
    bool ensureConnected(QString *error);

private:
    QString openSqlite(QSqlDatabase &db);
    QString openPostgres(QSqlDatabase &db);

    DatabaseSettings settings_;
    QString connectionName_;
    int busyTimeoutMs_ = 5000;
};

// The message for a failed statement, in the user's words where the cause is
// known (a lock held too long, a lost connection), else the driver's.
QString databaseErrorText(const QSqlError &error);

} // namespace tizhi
