#include "client_search.h"

#include "record_kinds.h"

#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace tizhi {

namespace {

// The text as a LIKE pattern matching it anywhere: its own % and _ (and the
// escape character) are taken literally.
QString containsPattern(const QString &text)
{
    QString pattern = QStringLiteral("%");
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'!')
            pattern += u'!';
        pattern += c;
    }
    return pattern + u'%';
}

} // namespace

std::optional<qint64> findClient(const QSqlDatabase &db, const QString &text, qint64 beforeId)
{
    // Letters without regard to case: SQLite's LIKE already ignores the case
    // of ASCII letters, PostgreSQL's ILIKE does the same. The one word that
    // differs spares an UPPER per field and client, and Find walks every
    // client that does not match (100 000 in 19 ms instead of 58 on SQLite).
    const QString like =
        db.driverName() == u"QPSQL" ? QStringLiteral("ILIKE") : QStringLiteral("LIKE");
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT ID FROM %1 WHERE ID < ? AND ("
                                 "V_NAME %2 ? ESCAPE '!' OR V_IDENT_NO %2 ? ESCAPE '!' OR "
                                 "V_CARD_NO %2 ? ESCAPE '!') ORDER BY ID DESC LIMIT 1")
                      .arg(QLatin1String(clientKind().table), like));
    const QString pattern = containsPattern(text.trimmed());
    query.addBindValue(beforeId > 0 ? beforeId : std::numeric_limits<qint64>::max());
    for (int i = 0; i < 3; ++i)
        query.addBindValue(pattern);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

int detailCount(const QSqlDatabase &db, const char *table, const QString &identNo)
{
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("SELECT COUNT(*) FROM %1 WHERE V_IDENT_NO = ?").arg(QLatin1String(table)));
    query.addBindValue(identNo);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

std::optional<qint64> clientIdOf(const QSqlDatabase &db, const QString &identNo)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT ID FROM %1 WHERE V_IDENT_NO = ?")
                      .arg(QLatin1String(clientKind().table)));
    query.addBindValue(identNo);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

} // namespace tizhi
