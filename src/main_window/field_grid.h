// Labelled fields laid out on the design grid of four label-field columns.
// Fields are created in tab order, then placed by row and column, so that
// Tab and Enter follow the record's field order, not the layout. The builder
// returns the fields it made; the window keeps them and never looks them up
// again by name.
#pragma once

#include <QList>
#include <QString>

class QGridLayout;
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
    const char *caption; // nullptr: the row's caption is placed by the page
    const char *name;
    FieldKind kind;
    int row;    // from 0
    int column; // 0 to 3, where the label stands
    int width;  // design pixels; wide fields span the columns to their right
    int height = 21;
    bool bold = false;
    bool enterMovesOn = true; // Enter moves to the next field
};

struct Field {
    const FieldDef *def = nullptr;
    QWidget *widget = nullptr;
};

// The fields of one grid, as built.
struct FieldGrid {
    QWidget *container = nullptr; // holds the grid layout
    QGridLayout *layout = nullptr;
    QList<Field> fields;

    // The field named `name`, which must be of kind `Kind` exactly: a name
    // missing from the grid is a fault in the program's tables and stops it
    // at start-up, not at the first click.
    template <class Kind> Kind *field(const char *name) const
    {
        return static_cast<Kind *>(checkedField(name, Kind::staticMetaObject.className()));
    }

private:
    QWidget *checkedField(const char *name, const char *kind) const;
};

// Creates the fields of `defs` (in their order) in a new container under
// `parent` and lays them out. `defs` must outlive the grid.
FieldGrid buildFieldGrid(QWidget *parent, const QList<FieldDef> &defs);

// The grid column of the field in design column `column` (0 to 3) and how
// many grid columns a field of `width` design pixels spans from there.
int fieldGridColumn(int column);
int fieldGridSpan(int column, int width);

// Enter in a field marked here moves the focus on to the next field in tab
// order. Each builder marks a field where it makes it (for the grids, from
// FieldDef::enterMovesOn); the window connects every marked field to its
// one Enter handler, and makes typing into a marked look-up box do nothing.
void setEnterMovesOn(QWidget *field);
bool enterMovesOn(const QWidget *field);

// The program's tables name every control it looks up; a name that finds
// nothing is a programming fault, reported at once.
[[noreturn]] void missingControl(const char *kind, const char *name);

} // namespace tizhi
