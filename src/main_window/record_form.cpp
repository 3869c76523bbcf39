#include "record_form.h"

#include "control_kinds.h"

#include <QGridLayout>

namespace tizhi {

namespace {

// Design x of the four field columns: a field reaches over every column
// that starts before it ends.
constexpr int kFieldStarts[4] = {75, 286, 498, 776};

int columnsSpanned(int column, int width)
{
    const int end = kFieldStarts[column] + width;
    int span = 1;
    while (column + span < 4 && kFieldStarts[column + span] < end)
        ++span;
    return span;
}

QWidget *createField(const FieldDef &def, QWidget *parent)
{
    switch (def.kind) {
    case FieldKind::Edit:
        return new TwwDBEdit(parent);
    case FieldKind::Lookup: {
        auto *lookup = new TwwDBLookupCombo(parent);
        lookup->setEditable(false);
        return lookup;
    }
    case FieldKind::Date:
    case FieldKind::DateTime: {
        auto *picker = new TwwDBDateTimePicker(parent);
        picker->setDisplayFormat(def.kind == FieldKind::Date
                                     ? QStringLiteral("yyyy-MM-dd")
                                     : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return picker;
    }
    case FieldKind::RichText: {
        auto *rich = new TwwDBRichEdit(parent);
        rich->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        rich->setTabChangesFocus(true);
        return rich;
    }
    }
    return nullptr;
}

} // namespace

QList<PlacedField> buildFieldGrid(QWidget *content, const QList<FieldDef> &defs)
{
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(11, 9, 11, 9);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(12);
    QList<PlacedField> placed;
    int lastRow = 0;
    for (const FieldDef &def : defs) {
        auto *label = new TLabel(content);
        label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(def.name).mid(3));
        label->setText(QString::fromUtf8(def.caption));
        if (def.bold) {
            QFont font = label->font();
            font.setBold(true);
            label->setFont(font);
        }
        QWidget *field = createField(def, content);
        field->setObjectName(QString::fromLatin1(def.name));
        // The design width is what the field asks for; it may give up a
        // quarter of it so that a page fits a 1280-pixel screen beside the
        // left column, but never below what its content needs.
        field->setMinimumWidth(std::max(def.width * 3 / 4, field->minimumSizeHint().width()));
        if (def.height > 21)
            field->setMinimumHeight(def.height);
        label->setBuddy(field);
        const int span = columnsSpanned(def.column, def.width);
        // Beside a single-line field the caption stands on its line; beside
        // a tall box, at its top.
        grid->addWidget(label, def.row, 2 * def.column,
                        Qt::AlignLeft | (def.height > 21 ? Qt::AlignTop : Qt::AlignVCenter));
        grid->addWidget(field, def.row, 2 * def.column + 1, 1, 2 * span - 1);
        lastRow = std::max(lastRow, def.row);
        placed << PlacedField{&def, field};
    }
    grid->setRowStretch(lastRow + 1, 1);
    grid->setColumnStretch(8, 1);
    return placed;
}

} // namespace tizhi
