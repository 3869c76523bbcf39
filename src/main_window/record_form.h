// Pages of labelled fields laid out on the design grid of four label-field
// columns. Fields are created in tab order, then placed by row and column,
// so that Tab and Enter follow the record's field order, not the layout.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace tizhi {

enum class FieldKind {
    Edit,     // single-line field
    Lookup,   // look-up box over the code dictionary
    Date,     // date picker, "yyyy-MM-dd"
    DateTime, // date-time picker, "yyyy-MM-dd HH:mm:ss"
    RichText, // rich-text field with a vertical scroll bar
};

struct FieldDef {
    const char *caption;
    const char *name;
    FieldKind kind;
    int row;    // from 0
    int column; // 0 to 3, where the label stands
    int width;  // design pixels; wide fields span the columns to their right
    int height = 21;
    bool bold = false;
    bool enterMovesOn = true; // Enter moves to the next field
};

struct PlacedField {
    const FieldDef *def;
    QWidget *widget;
};

// Creates the fields of `defs` (in their order) on `content` and lays them
// out; returns them in the same order.
QList<PlacedField> buildFieldGrid(QWidget *content, const QList<FieldDef> &defs);

} // namespace tizhi
