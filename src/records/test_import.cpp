#include "test_import.h"

#include "database.h"
#include "form_columns.h"
#include "form_reader.h"
#include "record_transcoding.h"
#include "test_records.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <variant>

namespace tizhi::records {

using cli::CsvError;
using cli::Diagnostic;
using cli::ExitStatus;

namespace {

using Extra = cli::FormColumn;
constexpr std::size_t kExtraCount = cli::kFormColumns;

QString textOf(std::string_view cell)
{
    return QString::fromUtf8(cell.data(), qsizetype(cell.size()));
}

// What makes two tests the same test: client, form, day and answers.
std::string duplicateKey(const StoredTest &test)
{
    std::string key = test.identNo.toStdString();
    key += '\x1f';
    key += test.form.toStdString() + test.testTime.date().toString(Qt::ISODate).toStdString();
    for (const std::string &answer : test.answers)
        (key += '\x1f') += answer;
    for (const TypeFields &fields : kTypeFields)
        (key += '\x1e') += test.record.*fields.field;
    return key;
}

// The stored tests of a form, with only the columns a duplicate is known by.
QString storedTestsSql(const QString &form)
{
    QStringList columns{QStringLiteral("V_IDENT_NO"), QLatin1String(kTestTimeColumn)};
    for (int question = 1; question <= kQuestionCount33; ++question)
        columns << answerColumn(question);
    for (std::size_t i = 0; i < kTypeFields.size(); ++i)
        columns << QLatin1String(assessmentColumns()[4 * i].name);
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'")
        .arg(columns.join(u','), QLatin1String(testKind().table), QLatin1String(kTestTypeColumn),
             form);
}

// A row of storedTestsSql as a test, as far as a duplicate is known by it.
StoredTest storedTest(const QSqlQuery &query, const QString &form)
{
    StoredTest test;
    test.form = form;
    test.identNo = query.value(0).toString();
    test.testTime = query.value(1).toDateTime();
    int at = 2;
    for (std::string &answer : test.answers)
        answer = query.value(at++).toString().toStdString();
    for (const TypeFields &fields : kTypeFields)
        test.record.*fields.field = query.value(at++).toString().toStdString();
    return test;
}

struct RowError {
    std::string message;
    std::size_t column = 0; // 1-based, or 0
};

// A value longer than its column takes: refused at its line rather than by
// the engine, which would end the whole transaction.
// The characters of UTF-8 text as the engines count them (a character
// outside the BMP counts twice, as in a QString: a little stricter).
qsizetype characters(std::string_view text)
{
    qsizetype count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::optional<RowError> tooLong(qsizetype length, int size, const std::string &shownName,
                                long position)
{
    if (length <= size)
        return std::nullopt;
    return RowError{"the value in column '" + shownName + "' has " + std::to_string(length) +
                        " characters; a stored test keeps at most " + std::to_string(size),
                    position >= 0 ? std::size_t(position) + 1 : 0};
}

// The sizes of the columns a row fills from its cells.
struct ColumnSizes {
    int identNo = size(clientKind(), "V_IDENT_NO");
    int name = size(testKind(), "V_NAME");
    int doctor = size(testKind(), "V_DOCTOR");
    int site = size(testKind(), "V_SITE");
    int itemString = size(testKind(), assessmentColumns()[0].name);

    static int size(const RecordKind &kind, const char *column)
    {
        return findColumn(kind, QLatin1String(column))->size;
    }
};

// A client as the import knows it: its name, and whether its stored tests
// were read for duplicates (a client the import made has none).
struct KnownClient {
    QString name;
    bool testsRead = false;
};

class ImportRun {
public:
    ImportRun(QSqlDatabase &db, std::istream &in, cli::Form form, cli::Encoding encoding,
              const QDateTime &importTime, const cli::DiagnosticSink &report,
              const std::function<void(std::int64_t)> &progress)
        : db_(db), form_(form), encoding_(encoding), importTime_(importTime), report_(report),
          progress_(progress), forms_(in, form, encoding, cli::formColumnKeys()), writer_(db),
          newClient_(db), storedTests_(db)
    {
    }

    ImportResult run();

private:
    // The scorer and the extra columns; nothing, the reason told, when the
    // header does not fit. Throws CsvError.
    std::optional<cli::RowScorer> start();
    void readRows(const cli::RowScorer &scorer);
    // The test of one scored row, or why it cannot be kept.
    std::variant<StoredTest, RowError> testOf(const cli::RowScorer &scorer,
                                              const std::vector<std::string_view> &row,
                                              cli::ScoredRecord &scored) const;
    std::optional<RowError> checkLengths(const cli::RowScorer &scorer,
                                         const StoredTest &test) const;
    // Stores the test unless it is a duplicate; false, the reason told, when
    // the database refuses.
    bool store(StoredTest &test, bool nameGiven, std::int64_t line);
    bool prepare();
    bool loadClients();
    bool readStoredTests(const QString &identNo);
    void tell(Diagnostic diagnostic)
    {
        if (report_)
            report_(diagnostic);
    }
    ImportResult stop(Diagnostic diagnostic)
    {
        tell(std::move(diagnostic));
        result_.status = ExitStatus::Trouble;
        return result_;
    }

    QSqlDatabase &db_;
    const cli::Form form_;
    const cli::Encoding encoding_;
    const QDateTime importTime_;
    const cli::DiagnosticSink &report_;
    const std::function<void(std::int64_t)> &progress_;
    cli::FormReader forms_;
    std::array<long, kExtraCount> extra_{};
    const ColumnSizes sizes_;
    mutable std::string lastTimeCell_;
    mutable std::optional<QDateTime> lastTime_;
    TestWriter writer_;
    QSqlQuery newClient_;
    QSqlQuery storedTests_;
    std::unordered_map<QString, KnownClient> clients_;
    // What the stored tests of the file's form are told apart by.
    struct {
        QString form;
        std::unordered_set<std::string> keys;
    } tests_;
    int clientsRead_ = 0;
    bool allTestsRead_ = false;
    std::string databaseError_;
    ImportResult result_;
};

ImportResult ImportRun::run()
{
    if (!prepare())
        return stop({0, 0, databaseError_});
    try {
        const std::optional<cli::RowScorer> scorer = start();
        if (!scorer)
            return result_;
        readRows(*scorer);
    } catch (const CsvError &csv) {
        return stop({csv.line(), csv.column(), csv.what()});
    }
    if (result_.status == ExitStatus::Trouble)
        return result_;
    if (result_.failedRows > 0) {
        result_.status = ExitStatus::RowsWithErrors;
        result_.stored = result_.newClients = 0;
        return result_;
    }
    if (!db_.commit())
        return stop({0, 0,
                     "the database did not keep the tests: " +
                         databaseErrorText(db_.lastError()).toStdString()});
    return result_;
}

bool ImportRun::prepare()
{
    const QString form = QLatin1String(form_ == cli::Form::Items33 ? kForm33Code : kForm66Code);
    tests_.form = form;
    storedTests_.setForwardOnly(true);
    // A file's tests are one transaction: SQLite keeps its pages in memory
    // until the commit instead of spilling them to the log as the
    // default cache of 2 MB fills.
    if (db_.driverName() == u"QSQLITE")
        QSqlQuery(db_).exec(QStringLiteral("PRAGMA cache_size = -131072"));
    if (!db_.transaction() ||
        !newClient_.prepare(QStringLiteral("INSERT INTO %1 (V_IDENT_NO, V_NAME) VALUES (?, ?)")
                                .arg(QLatin1String(clientKind().table))) ||
        !storedTests_.prepare(storedTestsSql(form) + QStringLiteral(" AND V_IDENT_NO = ?"))) {
        databaseError_ = "the database cannot take the tests: " +
                         databaseErrorText(db_.lastError()).toStdString();
        return false;
    }
    return loadClients();
}

// Every client's identity number and name, read once: a row then needs no
// query to find its client.
bool ImportRun::loadClients()
{
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT V_IDENT_NO, V_NAME FROM %1")
                        .arg(QLatin1String(clientKind().table)))) {
        databaseError_ =
            "the clients cannot be read: " + databaseErrorText(query.lastError()).toStdString();
        return false;
    }
    while (query.next())
        clients_.emplace(query.value(0).toString(), KnownClient{query.value(1).toString()});
    return true;
}

std::optional<cli::RowScorer> ImportRun::start()
{
    Diagnostic trouble;
    std::optional<cli::RowScorer> scorer = forms_.start(trouble);
    try {
        if (scorer)
            extra_ = cli::formColumnPositions(forms_.extraNames());
    } catch (const cli::UsageError &usage) {
        trouble = {1, 0, usage.what()};
        scorer.reset();
    }
    if (scorer && scorer->header().idColumn < 0) {
        trouble = {1, 0,
                   "the header has no 'id' column: each test is stored for the client with "
                   "the identity number in it"};
        scorer.reset();
    }
    if (!scorer)
        stop(std::move(trouble));
    return scorer;
}

void ImportRun::readRows(const cli::RowScorer &scorer)
{
    cli::CsvReader &reader = forms_.csv();
    reader.setFieldLimit(scorer.inputColumnCount());
    std::vector<std::string_view> fields;
    while (reader.next(fields)) {
        const std::int64_t line = reader.recordLine();
        if (reader.fieldCount() != scorer.inputColumnCount())
            throw CsvError(line, "the row has " + std::to_string(reader.fieldCount()) +
                                     " fields where the header has " +
                                     std::to_string(scorer.inputColumnCount()));
        const std::deque<std::string> decoded = cli::decodeRecord(fields, encoding_, line);
        cli::ScoredRecord scored = scorer.scoreRecord(fields);
        auto test = testOf(scorer, fields, scored);
        ++result_.rows;
        if (progress_ && result_.rows % 1024 == 0)
            progress_(result_.rows);
        if (auto *error = std::get_if<RowError>(&test)) {
            ++result_.failedRows;
            tell({line, error->column, std::move(error->message), true});
            continue;
        }
        // After a row that cannot be kept nothing is stored: the rest is
        // only checked.
        const bool nameGiven = extra_[cli::kNameColumn] >= 0 &&
                               !trimText(fields[std::size_t(extra_[cli::kNameColumn])]).empty();
        if (result_.failedRows == 0 && !store(std::get<StoredTest>(test), nameGiven, line))
            return;
    }
}

std::variant<StoredTest, RowError> ImportRun::testOf(const cli::RowScorer &scorer,
                                                     const std::vector<std::string_view> &row,
                                                     cli::ScoredRecord &scored) const
{
    if (!scored.error.empty())
        return RowError{std::move(scored.error), scored.errorColumn};
    const auto cell = [this, &row](Extra extra) {
        return extra_[extra] >= 0 ? row[std::size_t(extra_[extra])] : std::string_view();
    };
    StoredTest test;
    test.form = QLatin1String(form_ == cli::Form::Items33 ? kForm33Code : kForm66Code);
    test.identNo = textOf(row[std::size_t(scorer.header().idColumn)]);
    if (test.identNo.trimmed().isEmpty())
        return RowError{"the id is empty: each test is stored for the client with the identity "
                        "number in it",
                        std::size_t(scorer.header().idColumn) + 1};
    test.name = textOf(trimText(cell(cli::kNameColumn)));
    test.doctor = textOf(trimText(cell(cli::kDoctorColumn)));
    test.site = textOf(trimText(cell(cli::kSiteColumn)));
    test.testTime = importTime_;
    if (!trimText(cell(cli::kTimeColumn)).empty()) {
        // Rows of one file mostly share their day: it is read once.
        if (cell(cli::kTimeColumn) != lastTimeCell_) {
            lastTimeCell_ = cell(cli::kTimeColumn);
            lastTime_ = cli::parseTestTime(lastTimeCell_);
        }
        const std::optional<QDateTime> &time = lastTime_;
        if (!time)
            return RowError{cli::badTimeMessage(cell(cli::kTimeColumn)),
                            std::size_t(extra_[cli::kTimeColumn]) + 1};
        test.testTime = *time;
    }
    if (scorer.header().layout == cli::HeaderColumns::Layout::Answers33)
        for (std::size_t k = 0; k < test.answers.size(); ++k)
            test.answers[k] = trimText(row[scorer.header().columns[k]]);
    test.record = std::move(scored.record);
    if (auto error = checkLengths(scorer, test))
        return std::move(*error);
    return test;
}

std::optional<RowError> ImportRun::checkLengths(const cli::RowScorer &scorer,
                                                const StoredTest &test) const
{
    const cli::HeaderColumns &header = scorer.header();
    std::optional<RowError> error =
        tooLong(test.identNo.size(), sizes_.identNo, "id", header.idColumn);
    const std::array<std::pair<const QString *, int>, 3> texts{
        {{&test.name, sizes_.name}, {&test.doctor, sizes_.doctor}, {&test.site, sizes_.site}}};
    const std::array<Extra, 3> extras{cli::kNameColumn, cli::kDoctorColumn, cli::kSiteColumn};
    for (std::size_t i = 0; i < texts.size() && !error; ++i)
        error = tooLong(texts[i].first->size(), texts[i].second, cli::kFormColumnNames[extras[i]],
                        extra_[extras[i]]);
    for (std::size_t k = 0; k < test.answers.size() && !error; ++k)
        if (characters(test.answers[k]) > 1)
            error = RowError{"the answer in column '" + header.names[k] +
                                 "' is more than one character",
                             header.columns[k] + 1};
    for (std::size_t i = 0; i < kTypeFields.size() && !error; ++i) {
        const bool ownColumn = header.layout == cli::HeaderColumns::Layout::ItemStrings66;
        error = tooLong(characters(test.record.*kTypeFields[i].field), sizes_.itemString,
                        ownColumn ? header.names[i] : std::string(kTypes[i].pinyin),
                        ownColumn ? long(header.columns[i]) : -1);
    }
    return error;
}

bool ImportRun::readStoredTests(const QString &identNo)
{
    // A few clients' tests are read client by client; a file of many
    // stored clients reads all tests of its form at once instead.
    constexpr int kClientByClient = 64;
    if (allTestsRead_)
        return true;
    QSqlQuery all(db_);
    QSqlQuery &query = ++clientsRead_ > kClientByClient ? all : storedTests_;
    query.setForwardOnly(true);
    if (&query == &all)
        allTestsRead_ = all.prepare(storedTestsSql(tests_.form));
    else
        storedTests_.bindValue(0, identNo);
    if (!query.exec()) {
        databaseError_ = databaseErrorText(query.lastError()).toStdString();
        return false;
    }
    while (query.next())
        tests_.keys.insert(duplicateKey(storedTest(query, tests_.form)));
    query.finish();
    return true;
}

bool ImportRun::store(StoredTest &test, bool nameGiven, std::int64_t line)
{
    auto client = clients_.find(test.identNo);
    if (client == clients_.end()) {
        // A client needs a name: the form's, else its identity number.
        const QString name = nameGiven ? test.name : test.identNo;
        newClient_.bindValue(0, test.identNo);
        newClient_.bindValue(1, name);
        if (!newClient_.exec()) {
            stop({line, 0,
                  "the database refused the new client: " +
                      databaseErrorText(newClient_.lastError()).toStdString()});
            return false;
        }
        ++result_.newClients;
        client = clients_.emplace(test.identNo, KnownClient{name, true}).first;
    } else if (!client->second.testsRead) {
        if (!readStoredTests(test.identNo)) {
            stop({line, 0, "the client's stored tests cannot be read: " + databaseError_});
            return false;
        }
        client->second.testsRead = true;
    }
    if (!nameGiven)
        test.name = client->second.name;
    if (!tests_.keys.insert(duplicateKey(test)).second) {
        ++result_.duplicates;
        return true;
    }
    if (const QString error = writer_.insert(test); !error.isEmpty()) {
        stop({line, 0, "the database refused the test: " + error.toStdString()});
        return false;
    }
    ++result_.stored;
    return true;
}

} // namespace

ImportResult importTests(QSqlDatabase &db, std::istream &in, cli::Form form, cli::Encoding encoding,
                         const QDateTime &importTime, const cli::DiagnosticSink &report,
                         const std::function<void(std::int64_t)> &progress)
{
    ImportRun run(db, in, form, encoding, importTime, report, progress);
    const ImportResult result = run.run();
    if (result.status != ExitStatus::AllScored)
        db.rollback();
    return result;
}

} // namespace tizhi::records
