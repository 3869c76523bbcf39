// One kind of record as a table model: the record list and the fields of a
// page both show it. Changes are kept until the page saves them (manual
// submit), newest records first.
//
// QSqlTableModel writes a row by its primary key alone, so a save would
// overwrite what another workstation saved in between. The three writes are
// therefore our own: each names the version it read and raises it, and a
// row another workstation changed or deleted since is refused as a
// conflict, the user's values staying in the model.
#pragma once

#include "record_kinds.h"

#include <QSqlTableModel>

namespace tizhi {

class RecordTable : public QSqlTableModel {
    Q_OBJECT

public:
    RecordTable(const RecordKind &kind, const QSqlDatabase &db, QObject *parent = nullptr);

    const RecordKind &kind() const { return kind_; }

    // A detail table lists the records of the client whose identity number
    // is `P_V_IDENT_NO` (none when it is empty).
    void setClient(const QString &P_V_IDENT_NO);
    QString client() const { return client_; }
    // Lists only the records whose `column` holds `value` as well (the
    // tests of one form).
    void setScope(const char *column, const QString &value);

    // Newest first; false when the query failed (lastError() says why).
    bool selectRecords();
    // How many records the list holds in all (the model fetches them as
    // they are shown).
    int recordCount() const;
    // The row of the record numbered `id`, fetching as far as needed; -1
    // when the list does not hold it.
    int rowOfId(qint64 id);
    qint64 idAt(int row) const;

    // The number the last saved new record was given.
    qint64 lastInsertedId() const { return lastInsertedId_; }
    // Whether the last failed save or delete failed because another
    // workstation had changed or deleted the record.
    bool lastErrorIsConflict() const { return conflict_; }

    // The field's column, whatever case the engine gives its name.
    int column(const char *name) const { return fieldIndex(QLatin1String(name)); }

protected:
    bool insertRowIntoTable(const QSqlRecord &values) override;
    bool updateRowInTable(int row, const QSqlRecord &values) override;
    bool deleteRowFromTable(int row) override;

private:
    QString whereClient() const;
    QString quoted(const char *column, const QString &value) const;
    bool runWrite(QSqlQuery &query, bool mustTouchOneRow);

    const RecordKind &kind_;
    int idColumn_ = -1;
    QString client_;
    QString scope_;
    qint64 lastInsertedId_ = 0;
    bool conflict_ = false;
};

} // namespace tizhi
