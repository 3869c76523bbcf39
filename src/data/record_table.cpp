#include "record_table.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tizhi {

RecordTable::RecordTable(const RecordKind &kind, const QSqlDatabase &db, QObject *parent)
    : QSqlTableModel(parent, db), kind_(kind)
{
    setEditStrategy(QSqlTableModel::OnManualSubmit);
    setTable(QLatin1String(kind.table));
    idColumn_ = column(kIdColumn);
    setSort(idColumn_, Qt::DescendingOrder);
    for (int c = 0; c < columnCount(); ++c)
        setHeaderData(c, Qt::Horizontal, record().fieldName(c).toUpper());
}

QString RecordTable::quoted(const char *column, const QString &value) const
{
    // The driver quotes the value: an identity number is typed by users.
    QSqlField field{QLatin1String(column), QMetaType(QMetaType::QString)};
    field.setValue(value);
    return QStringLiteral("%1 = %2").arg(QLatin1String(column),
                                         database().driver()->formatValue(field));
}

QString RecordTable::whereClient() const
{
    QString where = quoted(kIdentNoColumn, client_);
    if (!scope_.isEmpty())
        where += QStringLiteral(" AND ") + scope_;
    return where;
}

void RecordTable::setClient(const QString &P_V_IDENT_NO)
{
    client_ = P_V_IDENT_NO;
    if (kind_.detail)
        setFilter(client_.isEmpty() ? QStringLiteral("1 = 0") : whereClient());
}

void RecordTable::setScope(const char *column, const QString &value)
{
    scope_ = quoted(column, value);
    setClient(client_);
}

bool RecordTable::selectRecords()
{
    conflict_ = false;
    return select();
}

int RecordTable::recordCount() const
{
    QSqlQuery query(database());
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(kind_.table));
    if (!filter().isEmpty())
        sql += QStringLiteral(" WHERE ") + filter();
    if (!query.exec(sql) || !query.next())
        return rowCount();
    return query.value(0).toInt();
}

qint64 RecordTable::idAt(int row) const
{
    return data(index(row, idColumn_)).toLongLong();
}

int RecordTable::rowOfId(qint64 id)
{
    for (int row = 0;; ++row) {
        while (row >= rowCount() && canFetchMore())
            fetchMore();
        if (row >= rowCount())
            return -1;
        if (idAt(row) == id)
            return row;
    }
}

bool RecordTable::runWrite(QSqlQuery &query, bool mustTouchOneRow)
{
    conflict_ = false;
    if (!query.exec()) {
        setLastError(query.lastError());
        return false;
    }
    if (mustTouchOneRow && query.numRowsAffected() != 1) {
        conflict_ = true;
        setLastError(QSqlError(QStringLiteral("conflict"),
                               QStringLiteral("这条记录已被其他工作站修改或删除。"),
                               QSqlError::TransactionError));
        return false;
    }
    return true;
}

bool RecordTable::insertRowIntoTable(const QSqlRecord &values)
{
    QStringList names;
    QStringList marks;
    QSqlQuery query(database());
    QVariantList bound;
    for (int i = 0; i < values.count(); ++i) {
        const QString name = values.fieldName(i);
        if (name.compare(QLatin1String(kIdColumn), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(kVersionColumn), Qt::CaseInsensitive) == 0)
            continue; // counted by the engine; a new record starts at version 1
        names << name;
        marks << QStringLiteral("?");
        bound << values.value(i);
    }
    query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(QLatin1String(kind_.table), names.join(u','), marks.join(u',')));
    for (const QVariant &value : bound)
        query.addBindValue(value);
    if (!runWrite(query, false))
        return false;
    lastInsertedId_ = query.lastInsertId().toLongLong();
    return true;
}

bool RecordTable::updateRowInTable(int row, const QSqlRecord &values)
{
    const QSqlRecord read = record(row);
    QStringList sets;
    QVariantList bound;
    for (int i = 0; i < values.count(); ++i) {
        if (!values.isGenerated(i))
            continue; // not changed
        sets << values.fieldName(i) + QStringLiteral(" = ?");
        bound << values.value(i);
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral("UPDATE %1 SET %2%3 = %3 + 1 WHERE %4 = ? AND %3 = ?")
                      .arg(QLatin1String(kind_.table),
                           sets.isEmpty() ? QString() : sets.join(u',') + u',',
                           QLatin1String(kVersionColumn), QLatin1String(kIdColumn)));
    for (const QVariant &value : bound)
        query.addBindValue(value);
    query.addBindValue(primaryValues(row).value(0));
    query.addBindValue(read.value(QLatin1String(kVersionColumn)));
    return runWrite(query, true);
}

bool RecordTable::deleteRowFromTable(int row)
{
    QSqlQuery query(database());
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                      .arg(QLatin1String(kind_.table), QLatin1String(kIdColumn),
                           QLatin1String(kVersionColumn)));
    query.addBindValue(primaryValues(row).value(0));
    query.addBindValue(record(row).value(QLatin1String(kVersionColumn)));
    return runWrite(query, true);
}

} // namespace tizhi
