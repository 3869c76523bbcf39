// Finding a client by part of the name, the identity number or the card
// number, letters compared without regard to case (an identity number's
// X); newest first, as the client list is ordered, so that finding again
// goes on down the list.
#pragma once

#include <QString>

#include <optional>

class QSqlDatabase;

namespace tizhi {

// The number of the newest client matching `text` that is older than
// `beforeId` (0: from the newest); nothing when none is.
std::optional<qint64> findClient(const QSqlDatabase &db, const QString &text, qint64 beforeId);

// The number of the client whose identity number is `identNo`; nothing
// when there is none or the database cannot say.
std::optional<qint64> clientIdOf(const QSqlDatabase &db, const QString &identNo);

// How many detail records of `kind`'s table refer to the client.
int detailCount(const QSqlDatabase &db, const char *table, const QString &identNo);

} // namespace tizhi
