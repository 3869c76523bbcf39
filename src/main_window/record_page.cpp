#include "record_page.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <QWidget>

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

QWidget *RecordPage::firstField() const
{
    for (const Field &field : grid_.fields) {
        if (field.widget->isEnabled() && field.widget->focusPolicy() != Qt::NoFocus)
            return field.widget;
    }
    return nullptr;
}

} // namespace tizhi
