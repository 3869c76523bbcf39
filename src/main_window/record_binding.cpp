#include "record_binding.h"

#include "control_kinds.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace tizhi {

namespace {

QString toText(const std::string &value)
{
    return QString::fromStdString(value);
}

std::string fromText(const QString &text)
{
    return text.toStdString();
}

} // namespace

void RecordBinding::bind(Member member, TwwDBEdit *control)
{
    rows_.append(Row{member, control, nullptr});
}

void RecordBinding::bind(Member member, TwwDBLookupCombo *control)
{
    rows_.append(Row{member, nullptr, control});
}

RecordBinding RecordBinding::within(const QWidget *page) const
{
    RecordBinding part;
    for (const Row &row : rows_) {
        const QWidget *control = row.edit ? static_cast<QWidget *>(row.edit) : row.lookup;
        if (page->isAncestorOf(control))
            part.rows_.append(row);
    }
    return part;
}

AssessmentRecord RecordBinding::read() const
{
    AssessmentRecord record;
    std::vector<Member> read; // member pointers compare only for equality
    for (const Row &row : rows_) {
        if (std::find(read.begin(), read.end(), row.member) != read.end())
            continue;
        read.push_back(row.member);
        record.*row.member = fromText(row.edit ? row.edit->text() : row.lookup->text());
    }
    return record;
}

void RecordBinding::write(const AssessmentRecord &record) const
{
    for (const Row &row : rows_) {
        const QString text = toText(record.*row.member);
        if (row.edit) {
            if (row.edit->text() != text) // keeps the caret where nothing changed
                row.edit->setText(text);
        } else {
            row.lookup->setText(text);
        }
    }
}

} // namespace tizhi
