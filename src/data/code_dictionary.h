// The code dictionary: the coded values every look-up box lists, one code
// type per list. A new database is seeded with the entries of every code
// type the window declares, with the national codes where they exist;
// clinics edit the lists with SQL.
#pragma once

#include <QList>
#include <QString>

#include <span>

class QSqlDatabase;

namespace tizhi {

struct CodeSeed {
    const char *type;
    const char *code;
    const char *name;
};

// The seeded entries, grouped by code type.
std::span<const CodeSeed> codeSeeds();

struct CodeEntry {
    QString code;
    QString name;
};

// The entries of `codeType`, ordered by name, or by code for the lists
// whose codes carry an order (the twelve birth hours). Empty when the
// dictionary cannot be read.
QList<CodeEntry> codeList(const QSqlDatabase &db, const QString &codeType);

// Whether `codeType`'s list is ordered by its codes.
bool orderedByCode(const QString &codeType);

} // namespace tizhi
