// A new, empty database for each test, on the engine the test run names:
// a SQLite file in a temporary folder, or a database of its own in the
// throw-away PostgreSQL cluster that pg_virtualenv starts around the run
// (its PG* variables say where, and hold the password).
#pragma once

#include "database_settings.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace tizhi::test {

class TestDatabase {
public:
    static bool postgres() { return qgetenv("TIZHI_TEST_ENGINE") == "postgresql"; }

    // A database no test has used; empty settings (driver SQLite, no name)
    // when it could not be made, which the first open then reports.
    DatabaseSettings fresh()
    {
        ++count_;
        DatabaseSettings settings;
        if (!postgres()) {
            settings.name = dir_.filePath(QStringLiteral("db%1/tizhi.sqlite").arg(count_));
            return settings;
        }
        settings.driver = DatabaseSettings::Driver::PostgreSql;
        settings.name =
            QStringLiteral("tizhi_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(count_);
        {
            QSqlDatabase admin =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            admin.setDatabaseName(qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")));
            if (admin.open())
                QSqlQuery(admin).exec(QStringLiteral("CREATE DATABASE ") + settings.name);
            admin.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        return settings;
    }

    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    // Counted across the process: every test class of a run makes its
    // databases in the same PostgreSQL cluster.
    static inline int count_ = 0;
};

} // namespace tizhi::test
