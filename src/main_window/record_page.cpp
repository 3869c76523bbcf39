#include "record_page.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace tizhi {

RecordPage::RecordPage(QWidget *content, const QList<FieldDef> &fields)
{
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    grid_ = buildFieldGrid(content, fields);
    column->addWidget(grid_.container);
    column->addStretch(1);
}

} // namespace tizhi
