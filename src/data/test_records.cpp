#include "test_records.h"

#include "database.h"
#include "item_string.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <deque>
#include <sqlite3.h>
#include <unordered_map>

namespace tizhi {

namespace {

// Column names made from the catalogue live as long as the program.
const char *keep(const QByteArray &name)
{
    static std::deque<QByteArray> names;
    return names.emplace_back(name).constData();
}

QList<ColumnDef> testColumns()
{
    using T = ColumnType;
    // The header as the test pages show it; an answer is one digit.
    QList<ColumnDef> columns{
        {kTestTypeColumn, T::Text, 128, true},
        {kTestTimeColumn, T::Timestamp, 0, true},
        {"V_NAME", T::Text, 64, true},
        {"V_IDENT_NO", T::Text, 32, true},
        {"V_DOCTOR", T::Text, 64},
        {"V_SITE", T::Text, 128},
    };
    for (int question = 1; question <= kQuestionCount33; ++question)
        columns.append({keep(answerColumn(question).toLatin1()), T::Text, 1});
    // An item string typed by hand may be longer than a form's; scores are
    // short number texts, verdicts the dictionary's words. The summaries
    // are made from all nine types: memos.
    for (const AssessmentColumn &column : assessmentColumns()) {
        const QByteArray name(column.name);
        if (name.endsWith("_FIELD"))
            columns.append({column.name, T::Text, 255});
        else if (name.startsWith("N_"))
            columns.append({column.name, T::Text, 32});
        else if (name.endsWith("_TOTAL"))
            columns.append({column.name, T::Memo});
        else
            columns.append({column.name, T::Text, 128});
    }
    columns.append({"V_REMARK", T::Memo});
    // How many questions were left unanswered when the test was saved: the
    // record list marks incomplete tests without reading their answers.
    columns.append({kUnansweredColumn, T::Integer});
    return columns;
}

std::array<AssessmentColumn, 38> makeAssessmentColumns()
{
    std::array<AssessmentColumn, 38> columns{};
    std::size_t at = 0;
    for (const ConstitutionType &type : kTypes) {
        const QByteArray upper(type.upperPinyin.data(), qsizetype(type.upperPinyin.size()));
        const TypeFields &fields = fieldsOf(type);
        columns[at++] = {fields.field, keep("V_" + upper + "_FIELD")};
        columns[at++] = {fields.org, keep("N_" + upper + "_ORG")};
        columns[at++] = {fields.con, keep("N_" + upper + "_CON")};
        columns[at++] = {fields.result, keep("V_" + upper + "_RESULT")};
    }
    columns[at++] = {&AssessmentRecord::V_CON_TOTAL, "V_CON_TOTAL"};
    columns[at++] = {&AssessmentRecord::V_RESULT_TOTAL, "V_RESULT_TOTAL"};
    return columns;
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant textOrNull(const std::string &text)
{
    if (text.empty())
        return {};
    // Most values of a test are short and recur from test to test (answers,
    // scores, verdicts): each is converted once and then shared, which an
    // import of thousands of tests notices.
    constexpr std::size_t kShort = 12;
    if (text.size() > kShort)
        return QString::fromStdString(text);
    thread_local std::unordered_map<std::string, QString> shortTexts;
    if (shortTexts.size() > 4096)
        shortTexts.clear();
    auto [at, added] = shortTexts.try_emplace(text);
    if (added)
        at->second = QString::fromStdString(text);
    return at->second;
}

// The women-only and men-only questions of a type count as one.
void addUnanswered66(const ConstitutionType &type, const std::string &itemString,
                     QStringList &missing)
{
    const std::vector<std::string_view> answers = itemStringAnswers(itemString);
    bool someSexAnswered = false;
    QList<int> sexMissing;
    for (std::size_t i = 0; i < type.questions66.size(); ++i) {
        const bool answered = i < answers.size() && !answers[i].empty();
        if (type.questions66[i].appliesTo != Sex::Any) {
            someSexAnswered = someSexAnswered || answered;
            if (!answered)
                sexMissing.append(int(i) + 1);
        } else if (!answered) {
            missing << QStringLiteral("%1第 %2 题")
                           .arg(QString::fromUtf8(type.displayName.data(),
                                                  qsizetype(type.displayName.size())))
                           .arg(i + 1);
        }
    }
    if (!someSexAnswered && !sexMissing.isEmpty())
        missing << QStringLiteral("%1第 %2 题")
                       .arg(QString::fromUtf8(type.displayName.data(),
                                              qsizetype(type.displayName.size())))
                       .arg(sexMissing.first());
}

} // namespace

const RecordKind &testKind()
{
    static const RecordKind kind{"habitus_test", testColumns(), true};
    return kind;
}

QString answerColumn(int question)
{
    return QStringLiteral("V_ANSWER_%1").arg(question, 2, 10, QLatin1Char('0'));
}

const std::array<AssessmentColumn, 38> &assessmentColumns()
{
    static const std::array<AssessmentColumn, 38> columns = makeAssessmentColumns();
    return columns;
}

QStringList unansweredQuestions(const StoredTest &test)
{
    QStringList missing;
    if (test.form == QLatin1String(kForm33Code)) {
        for (int question = 1; question <= kQuestionCount33; ++question)
            if (trimText(test.answers[std::size_t(question - 1)]).empty())
                missing << QStringLiteral("第 %1 题").arg(question);
        return missing;
    }
    for (const ConstitutionType &type : kTypes)
        addUnanswered66(type, test.record.*fieldsOf(type).field, missing);
    return missing;
}

QVariantList testValues(const StoredTest &test)
{
    // In the order of testColumns().
    QVariantList values{test.form,    test.testTime,           test.name,
                        test.identNo, textOrNull(test.doctor), textOrNull(test.site)};
    values.reserve(testKind().columns.size());
    for (const std::string &answer : test.answers)
        values.append(textOrNull(answer));
    for (const AssessmentColumn &column : assessmentColumns())
        values.append(textOrNull(test.record.*column.member));
    values.append(textOrNull(test.remark));
    values.append(int(unansweredQuestions(test).size()));
    return values;
}

void writeTest(const StoredTest &test, QSqlRecord &values)
{
    const QVariantList ordered = testValues(test);
    const QList<ColumnDef> &columns = testKind().columns;
    for (qsizetype i = 0; i < columns.size(); ++i)
        values.setValue(QLatin1String(columns[i].name), ordered[i]);
}

StoredTest readTest(const QSqlRecord &values)
{
    StoredTest test;
    test.form = values.value(QLatin1String(kTestTypeColumn)).toString();
    test.testTime = values.value(QLatin1String(kTestTimeColumn)).toDateTime();
    test.name = values.value(QStringLiteral("V_NAME")).toString();
    test.identNo = values.value(QStringLiteral("V_IDENT_NO")).toString();
    test.doctor = values.value(QStringLiteral("V_DOCTOR")).toString();
    test.site = values.value(QStringLiteral("V_SITE")).toString();
    for (int question = 1; question <= kQuestionCount33; ++question)
        test.answers[std::size_t(question - 1)] =
            values.value(answerColumn(question)).toString().toStdString();
    for (const AssessmentColumn &column : assessmentColumns())
        test.record.*column.member =
            values.value(QLatin1String(column.name)).toString().toStdString();
    test.remark = values.value(QStringLiteral("V_REMARK")).toString();
    return test;
}

// On SQLite the import binds its 80 values a row straight through SQLite's
// own interface: Qt's binding builds a placeholder name and looks it up for
// every value, which took about a fifth of an import's time. The statement
// runs on the connection Qt opened, inside Qt's transaction, and stores what
// Qt's driver would store (a time as ISO text with milliseconds).
struct TestWriter::Statement {
    QSqlQuery query;
    sqlite3_stmt *sqlite = nullptr;
};

namespace {

QString insertStatement()
{
    QStringList names;
    for (const ColumnDef &column : testKind().columns)
        names << QLatin1String(column.name);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1String(testKind().table), names.join(u','),
             QStringList(names.size(), QStringLiteral("?")).join(u','));
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QSQLITE") || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Binds `text` (UTF-8, kept alive by the caller until the step) or NULL
// when it is empty.
void bindText(sqlite3_stmt *statement, int index, const std::string &text)
{
    if (text.empty())
        sqlite3_bind_null(statement, index);
    else
        sqlite3_bind_text(statement, index, text.data(), int(text.size()), SQLITE_STATIC);
}

// In the order of testColumns(); false with the engine's message.
bool insertSqlite(sqlite3_stmt *statement, const StoredTest &test, QString *error)
{
    const std::array<std::string, 6> header = {
        test.form.toStdString(),   test.testTime.toString(Qt::ISODateWithMs).toStdString(),
        test.name.toStdString(),   test.identNo.toStdString(),
        test.doctor.toStdString(), test.site.toStdString()};
    const std::string remark = test.remark.toStdString();
    sqlite3_reset(statement);
    int index = 0;
    for (const std::string &text : header) {
        if (index < 4) // the form, time, name and number are kept even when empty
            sqlite3_bind_text(statement, ++index, text.data(), int(text.size()), SQLITE_STATIC);
        else
            bindText(statement, ++index, text);
    }
    for (const std::string &answer : test.answers)
        bindText(statement, ++index, answer);
    for (const AssessmentColumn &column : assessmentColumns())
        bindText(statement, ++index, test.record.*column.member);
    bindText(statement, ++index, remark);
    sqlite3_bind_int(statement, ++index, int(unansweredQuestions(test).size()));
    if (sqlite3_step(statement) == SQLITE_DONE)
        return true;
    *error = databaseErrorText(
        QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement))),
                  QSqlError::StatementError));
    sqlite3_reset(statement);
    return false;
}

} // namespace

TestWriter::TestWriter(const QSqlDatabase &db) : statement_(new Statement{QSqlQuery(db)})
{
    const QString sql = insertStatement();
    if (sqlite3 *handle = sqliteHandle(db)) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, utf8.constData(), int(utf8.size()), &statement_->sqlite,
                               nullptr) == SQLITE_OK)
            return;
        sqlite3_finalize(statement_->sqlite);
        statement_->sqlite = nullptr;
    }
    statement_->query.prepare(sql);
}

TestWriter::~TestWriter()
{
    sqlite3_finalize(statement_->sqlite);
    delete statement_;
}

QString TestWriter::insert(const StoredTest &test)
{
    if (statement_->sqlite) {
        QString error;
        if (!insertSqlite(statement_->sqlite, test, &error))
            return error;
        lastId_ = sqlite3_last_insert_rowid(sqlite3_db_handle(statement_->sqlite));
        return {};
    }
    // Bound by position: a name looked up per value would cost more than
    // the insert itself.
    const QVariantList values = testValues(test);
    for (qsizetype i = 0; i < values.size(); ++i)
        statement_->query.bindValue(int(i), values[i]);
    if (!statement_->query.exec())
        return databaseErrorText(statement_->query.lastError());
    lastId_ = statement_->query.lastInsertId().toLongLong();
    return {};
}

} // namespace tizhi
