#include "test_record_view.h"

#include "control_kinds.h"
#include "page33.h"
#include "page66.h"
#include "record_table.h"
#include "rtf.h"
#include "test_page.h"
#include "uniChineseMedicinePublic.h"

#include <QSqlRecord>
#include <QTextDocument>

namespace tizhi {

namespace {

bool is33(const char *form)
{
    return QLatin1String(form) == QLatin1String(kForm33Code);
}

// The header columns with the captions the page gives them.
const std::array<std::pair<const char *, const char *>, 4> kHeaderCaptions = {{
    {"V_NAME", "客户姓名"},
    {"V_IDENT_NO", "证件号码"},
    {"V_DOCTOR", "保健医生"},
    {"V_SITE", "保健地点"},
}};

QString captionOf(const ColumnDef &column)
{
    for (const auto &[name, caption] : kHeaderCaptions)
        if (QLatin1String(name) == QLatin1String(column.name))
            return QString::fromUtf8(caption);
    for (const ConstitutionType &type : kTypes)
        if (QLatin1String(column.name) ==
            QLatin1String(assessmentColumns()[std::size_t(type.code - 1) * 4].name))
            return fromCatalogue(type.displayName);
    return QLatin1String(column.name);
}

} // namespace

TestRecordView::TestRecordView(Parts parts) : parts_(std::move(parts)) {}

AssessmentRecord TestRecordView::record() const
{
    return parts_.page33 ? held_ : parts_.binding.read();
}

void TestRecordView::setRecord(const AssessmentRecord &record)
{
    held_ = record;
    parts_.binding.write(record);
}

StoredTest TestRecordView::test() const
{
    const TestPage &header = *parts_.header;
    StoredTest test;
    test.form = QLatin1String(parts_.form);
    const QDateTime time = header.testTime->dateTime();
    test.testTime = QDateTime(
        time.date(), QTime(time.time().hour(), time.time().minute(), time.time().second()));
    test.name = header.name->text();
    test.identNo = header.identNo->text();
    test.doctor = header.doctor->text();
    test.site = header.site->text();
    if (parts_.page33)
        test.answers = parts_.page33->answers();
    test.record = record();
    return test;
}

void TestRecordView::showTest(const StoredTest &test)
{
    const TestPage &header = *parts_.header;
    header.testTime->setDateTime(test.testTime.isValid() ? test.testTime
                                                         : QDateTime::currentDateTime());
    header.name->setText(test.name);
    header.identNo->setText(test.identNo);
    header.doctor->setText(test.doctor);
    header.site->setText(test.site);
    showRichText(header.remark, test.remark);
    if (parts_.page33)
        parts_.page33->setAnswers(test.answers);
    setRecord(test.record);
}

void TestRecordView::show(RecordTable &table, int row)
{
    StoredTest test;
    test.form = QLatin1String(parts_.form);
    if (row >= 0)
        test = readTest(table.record(row));
    // A new 66-item test starts as the page does, every type field "0".
    if (!is33(parts_.form) && (row < 0 || table.idAt(row) == 0)) {
        const AssessmentRecord start = startRecord();
        for (const ConstitutionType &type : kTypes)
            if ((test.record.*fieldsOf(type).field).empty())
                test.record.*fieldsOf(type).field = start.*fieldsOf(type).field;
    }
    showTest(test);
}

void TestRecordView::store(RecordTable &table, int row)
{
    if (row < 0)
        return;
    QSqlRecord values = table.record(row);
    const QVariant remark = values.value(QStringLiteral("V_REMARK"));
    writeTest(test(), values);
    values.setValue(QStringLiteral("V_REMARK"), richTextValue(parts_.header->remark, remark));
    for (const ColumnDef &column : testKind().columns)
        setColumn(table, row, column.name, values.value(QLatin1String(column.name)));
}

void TestRecordView::setEditable(bool editable)
{
    editable_ = editable;
    parts_.setPageEditable(editable);
    const TestPage &header = *parts_.header;
    // The help text stays as it is; the remark is kept with the test.
    header.scheme->setReadOnlyFlag(true);
    header.scheme->setColor(InterfaceRecord->GetReadOnlyColor());
    const bool linked = parts_.linked();
    for (TwwDBEdit *field : {header.name, header.identNo}) {
        field->setReadOnlyFlag(!editable || linked);
        field->setColor(editable && !linked ? InterfaceRecord->GetEditableColor()
                                            : InterfaceRecord->GetReadOnlyColor());
    }
}

QWidget *TestRecordView::answerBox(int question) const
{
    return parts_.page33 ? parts_.page33->answerBox(question) : nullptr;
}

QWidget *TestRecordView::typeField(int code) const
{
    return parts_.page66 ? parts_.page66->typeField(code) : nullptr;
}

QWidget *TestRecordView::firstField() const
{
    return parts_.page33 ? parts_.page33->firstField() : parts_.header->name;
}

QString TestRecordView::problem(const RecordTable &table, int row) const
{
    for (const ColumnDef &column : testKind().columns) {
        const qsizetype length =
            table.data(table.index(row, table.column(column.name))).toString().size();
        if (column.type == ColumnType::Text && length > column.size)
            return QStringLiteral("“%1”最多 %2 个字，现在是 %3 个字。")
                .arg(captionOf(column))
                .arg(column.size)
                .arg(length);
    }
    return {};
}

QStringList TestRecordView::enteredColumns(const RecordTable &) const
{
    QStringList columns{QLatin1String(kTestTimeColumn), QStringLiteral("V_REMARK")};
    for (const auto &[name, caption] : kHeaderCaptions)
        columns << QLatin1String(name);
    for (int question = 1; question <= kQuestionCount33; ++question)
        columns << answerColumn(question);
    for (const ConstitutionType &type : kTypes)
        columns << QLatin1String(assessmentColumns()[std::size_t(type.code - 1) * 4].name);
    return columns;
}

} // namespace tizhi
