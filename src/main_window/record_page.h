// What the three record pages (client base information, diagnosis records,
// contact records) share: their fields, in record order, laid out from the
// page's field table on the design grid. Each page is a class of its own
// that holds its table; in this edition none is connected to data.
#pragma once

#include "field_grid.h"

class QWidget;

namespace tizhi {

class RecordPage {
public:
    const FieldGrid &grid() const { return grid_; }
    // Where the focus goes when the page is shown: its first field that
    // takes the focus.
    QWidget *firstField() const;

protected:
    // Lays the fields of `fields` (which must outlive the page) out on
    // `content`, the page's data area.
    RecordPage(QWidget *content, const QList<FieldDef> &fields);

private:
    FieldGrid grid_;
};

} // namespace tizhi
