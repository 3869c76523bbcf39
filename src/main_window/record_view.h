// What a record page shows of its current record. The binding keeps the
// record set, the list, the state and the commands; a view fills the page's
// fields from a row of the record set and writes them back into it. The
// record pages map one field to one column with QDataWidgetMapper
// (MappedView); the test pages show their tests through their own view,
// since a test's values span the answer boxes, the assessment's controls
// and values page 1 keeps without showing them.
#pragma once

#include "field_grid.h"

#include <QStringList>
#include <QVariant>

class QDataWidgetMapper;
class TwwDBRichEdit;
class QWidget;

namespace tizhi {

class RecordTable;
struct RecordKind;

class RecordView {
public:
    virtual ~RecordView() = default;

    // Fills the fields from `row` of `table`; -1 empties them.
    virtual void show(RecordTable &table, int row) = 0;
    // Writes the fields into `row`, leaving the columns they did not change.
    virtual void store(RecordTable &table, int row) = 0;
    // Opens the fields for entry or closes them, with the look of each state.
    virtual void setEditable(bool editable) = 0;
    virtual QWidget *firstField() const = 0;
    // What the fields hold that the record set would refuse; empty when none.
    virtual QString problem(const RecordTable &table, int row) const = 0;
    // The columns the user fills: a new record whose values in these equal
    // the ones it was made with holds nothing to save.
    virtual QStringList enteredColumns(const RecordTable &table) const = 0;
};

// Whether two values of a column are the same value: no value and empty
// text are alike, and a time is a time whether an engine hands it as text
// or as a time.
bool sameValue(const QVariant &a, const QVariant &b);

// A rich-text field and its stored value: RTF, or plain text. Shown, the
// document counts as unedited; one not edited gives back what was stored
// (written again the RTF might be spelt otherwise), an edited one its RTF,
// an empty one no value.
void showRichText(TwwDBRichEdit *field, const QVariant &stored);
QVariant richTextValue(const TwwDBRichEdit *field, const QVariant &stored);

// Sets a column of `row` only when its value changes, so that the record
// set counts as changed only when something is.
void setColumn(RecordTable &table, int row, const char *column, const QVariant &value);
void setColumn(RecordTable &table, int row, const QString &column, const QVariant &value);

// The record pages' view: each field of a field grid bound to its column,
// in the record's column order.
class MappedView : public RecordView {
public:
    MappedView(RecordTable &table, const RecordKind &kind, const FieldGrid &fields,
               QStringList fixedFields, QObject *parent);

    void show(RecordTable &table, int row) override;
    void store(RecordTable &table, int row) override;
    void setEditable(bool editable) override;
    QWidget *firstField() const override;
    QString problem(const RecordTable &table, int row) const override;
    QStringList enteredColumns(const RecordTable &table) const override;

private:
    const RecordKind &kind_;
    const FieldGrid &fields_;
    QStringList fixedFields_; // copied from the client, never typed
    QDataWidgetMapper *mapper_;
};

} // namespace tizhi
