// The database's schema: made on first use, migrated in one transaction
// from an older version, and never written into when it is newer than this
// program knows. The same tables and queries serve SQLite and PostgreSQL;
// only the record number's column is spelled as each engine counts.
#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace tizhi {

// The version this program writes.
// 1: clients, diagnosis and contact records, the code dictionary;
// 2: the constitution tests.
inline constexpr int kSchemaVersion = 2;
inline constexpr const char *kSchemaTable = "schema_version";

// Makes or migrates the schema of an open database. Empty on success; the
// cause otherwise, with nothing changed.
QString prepareSchema(QSqlDatabase &db);

// The version stored in the database; 0 when it has no schema yet, -1 when
// it cannot be read (`error` then says why).
int storedSchemaVersion(QSqlDatabase &db, QString *error = nullptr);

// The statements that make the current version on `driverName`'s engine.
QStringList createStatements(const QString &driverName);

} // namespace tizhi
