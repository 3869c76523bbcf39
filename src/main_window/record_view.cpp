#include "record_view.h"

#include "control_kinds.h"
#include "record_kinds.h"
#include "record_table.h"
#include "rtf.h"
#include "uniChineseMedicinePublic.h"

#include <QDataWidgetMapper>
#include <QStyledItemDelegate>
#include <QTextDocument>

namespace tizhi {

namespace {

// The earliest date a picker holds; a picker at it shows nothing, which is
// how a date not given yet (a birthday, the next contact) is shown.
const QDateTime kNoDate(QDate(1900, 1, 1), QTime(0, 0));

// Between the fields' contents and the record's values: empty text is no
// value, a look-up box stores its code, a picker its date or date and time,
// a rich-text field RTF. QDataWidgetMapper's default would store each
// widget's user property as it stands.
class RecordFieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QVariant value = index.data(Qt::EditRole);
        if (auto *edit = qobject_cast<TwwDBEdit *>(editor)) {
            edit->setText(value.isNull() ? QString() : value.toString());
        } else if (auto *lookup = qobject_cast<TwwDBLookupCombo *>(editor)) {
            lookup->setCurrentIndex(value.isNull() ? -1 : lookup->findData(value.toString()));
        } else if (auto *picker = qobject_cast<TwwDBDateTimePicker *>(editor)) {
            const QDateTime when = value.toDateTime();
            picker->setDateTime(value.isNull() || !when.isValid() ? kNoDate : when);
        } else if (auto *rich = qobject_cast<TwwDBRichEdit *>(editor)) {
            showRichText(rich, value);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        model->setData(index, valueOf(editor, index));
    }

private:
    static QVariant valueOf(QWidget *editor, const QModelIndex &index)
    {
        if (auto *edit = qobject_cast<TwwDBEdit *>(editor))
            return edit->text().isEmpty() ? QVariant() : QVariant(edit->text());
        if (auto *lookup = qobject_cast<TwwDBLookupCombo *>(editor))
            return lookup->currentIndex() < 0 ? QVariant() : lookup->currentData();
        if (auto *picker = qobject_cast<TwwDBDateTimePicker *>(editor)) {
            if (picker->dateTime() == kNoDate)
                return {};
            if (!picker->displayFormat().contains(u'H'))
                return picker->date();
            return picker->dateTime();
        }
        if (auto *rich = qobject_cast<TwwDBRichEdit *>(editor))
            return richTextValue(rich, index.data(Qt::EditRole));
        return {};
    }
};

} // namespace

void showRichText(TwwDBRichEdit *field, const QVariant &stored)
{
    const QByteArray bytes = stored.toString().toUtf8();
    if (bytes.isEmpty() || !rtf::read(bytes, *field->document()))
        field->setPlainText(stored.toString());
    field->document()->setModified(false);
}

QVariant richTextValue(const TwwDBRichEdit *field, const QVariant &stored)
{
    QTextDocument *document = field->document();
    if (!document->isModified())
        return stored;
    return document->isEmpty() ? QVariant() : QVariant(QString::fromLatin1(rtf::write(*document)));
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool aEmpty = a.isNull() || a.toString().isEmpty();
    const bool bEmpty = b.isNull() || b.toString().isEmpty();
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty;
    if (a.metaType().id() == QMetaType::QDateTime || b.metaType().id() == QMetaType::QDateTime)
        return a.toDateTime() == b.toDateTime();
    return a.toString() == b.toString();
}

void setColumn(RecordTable &table, int row, const QString &column, const QVariant &value)
{
    const QModelIndex index = table.index(row, table.fieldIndex(column));
    if (!sameValue(table.data(index, Qt::EditRole), value))
        table.setData(index, value);
}

void setColumn(RecordTable &table, int row, const char *column, const QVariant &value)
{
    setColumn(table, row, QLatin1String(column), value);
}

MappedView::MappedView(RecordTable &table, const RecordKind &kind, const FieldGrid &fields,
                       QStringList fixedFields, QObject *parent)
    : kind_(kind), fields_(fields), fixedFields_(std::move(fixedFields)),
      mapper_(new QDataWidgetMapper(parent))
{
    mapper_->setModel(&table);
    mapper_->setItemDelegate(new RecordFieldDelegate(mapper_));
    mapper_->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    for (int i = 0; i < fields.fields.size() && i < kind.columns.size(); ++i) {
        QWidget *widget = fields.fields[i].widget;
        if (auto *picker = qobject_cast<TwwDBDateTimePicker *>(widget)) {
            picker->setMinimumDateTime(kNoDate);
            picker->setSpecialValueText(QStringLiteral(" "));
        }
        mapper_->addMapping(widget, table.column(kind.columns[i].name));
    }
}

void MappedView::show(RecordTable &, int row)
{
    mapper_->setCurrentIndex(row);
    if (row < 0)
        mapper_->revert(); // no record: empty fields
}

void MappedView::store(RecordTable &, int row)
{
    if (mapper_->currentIndex() == row)
        mapper_->submit();
}

void MappedView::setEditable(bool editable)
{
    const TColor editableColor = InterfaceRecord->GetEditableColor();
    const TColor readOnlyColor = InterfaceRecord->GetReadOnlyColor();
    for (const Field &field : fields_.fields) {
        const bool open = editable && !fixedFields_.contains(field.widget->objectName());
        if (auto *kind = dynamic_cast<IControlKind *>(field.widget)) {
            kind->setReadOnlyFlag(!open);
            kind->setColor(open ? editableColor : readOnlyColor);
        }
        if (qobject_cast<TwwDBLookupCombo *>(field.widget))
            field.widget->setEnabled(open);
    }
}

QWidget *MappedView::firstField() const
{
    return fields_.fields.value(0).widget;
}

QString MappedView::problem(const RecordTable &table, int row) const
{
    // The database refuses a text past its column's size; say which field
    // before it does.
    const QList<Field> &fields = fields_.fields;
    for (int i = 0; i < fields.size() && i < kind_.columns.size(); ++i) {
        const ColumnDef &column = kind_.columns[i];
        const qsizetype length =
            table.data(table.index(row, table.column(column.name))).toString().size();
        if (column.type == ColumnType::Text && length > column.size)
            return QStringLiteral("“%1”最多 %2 个字，现在是 %3 个字。")
                .arg(QString::fromUtf8(fields[i].def->caption))
                .arg(column.size)
                .arg(length);
    }
    return {};
}

QStringList MappedView::enteredColumns(const RecordTable &) const
{
    QStringList columns;
    for (const ColumnDef &column : kind_.columns)
        columns << QLatin1String(column.name);
    return columns;
}

} // namespace tizhi
