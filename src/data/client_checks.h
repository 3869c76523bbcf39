// What a client record must satisfy before it is saved from the client
// page: its marked fields filled, a resident identity number that is well
// formed and unique, and agreeing with the birth date where both are given.
// Each check returns the message to show, naming the fields, or nothing.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class QSqlDatabase;

namespace tizhi {

// The code of the resident identity card among the identity document types.
inline constexpr const char *kResidentIdentType = "01";

// Whether `identNo` is an 18-character resident identity number whose last
// character is its ISO 7064 MOD 11-2 check character (X in either case
// stands for 10).
bool residentIdentNoValid(const QString &identNo);

// The birth date written in an 18-character resident identity number;
// nothing when it is no valid date.
std::optional<QDate> residentIdentBirthDate(const QString &identNo);

struct ClientValues {
    QString identType;
    QString identNo;
    QString sex;
    QString name;
    QString cardNo;
    QString age;
    std::optional<QDate> birthday;
};

// The checks that need no database, in the order of the page's fields. A
// resident identity card's number is checked with its check character and
// its birth date.
QString clientProblem(const ClientValues &values);

// Whether another client than the one numbered `ownId` (0 for a new one)
// already has `identNo`; nothing when the database cannot say.
std::optional<bool> identNoTaken(const QSqlDatabase &db, const QString &identNo, qint64 ownId);

} // namespace tizhi
