#include "field_grid.h"

#include "control_kinds.h"

#include <QGridLayout>

#include <cstring>

namespace tizhi {

namespace {

// Design x of the four field columns: a field reaches over every column
// that starts before it ends.
constexpr int kFieldStarts[4] = {75, 286, 498, 776};
constexpr int kSingleLineHeight = 21;

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

namespace {

const char *const kEnterMovesOn = "tizhiEnterMovesOn";

} // namespace

void setEnterMovesOn(QWidget *field)
{
    field->setProperty(kEnterMovesOn, true);
}

bool enterMovesOn(const QWidget *field)
{
    return field->property(kEnterMovesOn).toBool();
}

void missingControl(const char *kind, const char *name)
{
    qFatal("Tizhi: the window has no %s named \"%s\"", kind, name);
}

QWidget *FieldGrid::checkedField(const char *name, const char *kind) const
{
    for (const Field &field : fields) {
        if (std::strcmp(field.def->name, name) == 0 &&
            std::strcmp(field.widget->metaObject()->className(), kind) == 0)
            return field.widget;
    }
    missingControl(kind, name);
}

FieldGrid buildFieldGrid(QWidget *parent, const QList<FieldDef> &defs)
{
    FieldGrid grid;
    grid.container = new QWidget(parent);
    grid.layout = new QGridLayout(grid.container);
    // Narrow side margins: at 14 points the 33-item page needs all but a
    // few pixels of a 1280-pixel screen.
    grid.layout->setContentsMargins(4, 9, 4, 9);
    grid.layout->setHorizontalSpacing(6);
    grid.layout->setVerticalSpacing(12);
    for (const FieldDef &def : defs) {
        TLabel *label = nullptr;
        if (def.caption) {
            label = new TLabel(grid.container);
            // "Caption" keeps these apart from the named labels of the pages
            // (lblCMH33QiXuResult is a button of the 33-item page).
            label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(def.name).mid(3) +
                                 QStringLiteral("Caption"));
            label->setText(QString::fromUtf8(def.caption));
            if (def.bold) {
                QFont font = label->font();
                font.setBold(true);
                label->setFont(font);
            }
        }
        QWidget *field = createField(def, grid.container);
        field->setObjectName(QString::fromLatin1(def.name));
        controlKind(field)->setDesignSize({def.width, def.height});
        if (label)
            label->setBuddy(field);
        if (label) {
            // Beside a single-line field the caption stands on its line;
            // beside a tall box, at its top.
            grid.layout->addWidget(
                label, def.row, 2 * def.column,
                Qt::AlignLeft | (def.height > kSingleLineHeight ? Qt::AlignTop : Qt::AlignVCenter));
        }
        grid.layout->addWidget(field, def.row, fieldGridColumn(def.column), 1,
                               fieldGridSpan(def.column, def.width));
        if (def.enterMovesOn)
            setEnterMovesOn(field);
        grid.fields << Field{&def, field};
    }
    // Room left over goes to the right of the last column, so that every
    // field keeps its design width before any grows.
    grid.layout->setColumnStretch(8, 1);
    return grid;
}

int fieldGridColumn(int column)
{
    return 2 * column + 1;
}

int fieldGridSpan(int column, int width)
{
    return 2 * columnsSpanned(column, width) - 1;
}

} // namespace tizhi
