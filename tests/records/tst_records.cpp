// tizhi-records end to end, on the engine the run names: forms imported
// and exported again with the scores tizhi-score gives the same file, a
// file with a bad line stored not at all, duplicates and clients, the time
// column, one client's export, the record forms of an export, the backup,
// and the exit statuses.
#include "test_registry.h"

#include "csv.h"
#include "database.h"
#include "pdf_reading.h"
#include "records_process.h"
#include "test_database.h"
#include "test_records.h"
#include "text_encoding.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <sstream>

using namespace tizhi;
using namespace tizhi::test::records;
using tizhi::test::TestDatabase;

Q_DECLARE_METATYPE(tizhi::test::records::Layout)

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A CSV file's records, read by the scorer's own reader.
Rows parseCsv(const QByteArray &text)
{
    std::istringstream in(text.toStdString());
    cli::CsvReader reader(in);
    Rows rows;
    std::vector<std::string> fields;
    while (reader.next(fields))
        rows.push_back(fields);
    return rows;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int count(const DatabaseSettings &settings, const QString &sql)
{
    Database db(settings);
    if (!db.open().isEmpty())
        return -1;
    QSqlQuery query(db.connection());
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

int tests(const DatabaseSettings &settings)
{
    return count(settings, QStringLiteral("SELECT COUNT(*) FROM habitus_test"));
}

int clients(const DatabaseSettings &settings)
{
    return count(settings, QStringLiteral("SELECT COUNT(*) FROM client"));
}

bool addClient(const DatabaseSettings &settings, const QString &identNo, const QString &name)
{
    Database db(settings);
    if (!db.open().isEmpty())
        return false;
    QSqlQuery query(db.connection());
    query.prepare(QStringLiteral("INSERT INTO client (V_IDENT_NO, V_NAME) VALUES (?, ?)"));
    query.addBindValue(identNo);
    query.addBindValue(name);
    return query.exec();
}

// The stored tests, oldest first.
QList<StoredTest> storedTests(const DatabaseSettings &settings)
{
    Database db(settings);
    QList<StoredTest> stored;
    if (!db.open().isEmpty())
        return stored;
    QSqlQuery query(db.connection());
    query.exec(QStringLiteral("SELECT * FROM habitus_test ORDER BY ID"));
    while (query.next())
        stored << readTest(query.record());
    return stored;
}

QString storedClientName(const DatabaseSettings &settings, const QString &identNo)
{
    Database db(settings);
    if (!db.open().isEmpty())
        return QStringLiteral("<no database>");
    QSqlQuery query(db.connection());
    query.prepare(QStringLiteral("SELECT V_NAME FROM client WHERE V_IDENT_NO = ?"));
    query.addBindValue(identNo);
    return query.exec() && query.next() ? query.value(0).toString() : QStringLiteral("<none>");
}

// Gives the client a sex, a birthday and a card number, as a window would.
bool describeClient(const DatabaseSettings &settings, const QString &identNo)
{
    Database db(settings);
    if (!db.open().isEmpty())
        return false;
    QSqlQuery query(db.connection());
    query.prepare(QStringLiteral("UPDATE client SET V_SEX = '2', T_BIRTHDAY = ?, V_CARD_NO = "
                                 "'K-2026-0815' WHERE V_IDENT_NO = ?"));
    query.addBindValue(QDate(1949, 12, 31));
    query.addBindValue(identNo);
    return query.exec() && query.numRowsAffected() == 1;
}

// One row of the 33-item form: the id, the extra cells, 33 answers.
QByteArray row33(const QByteArray &leading, const QByteArray &answer = "3")
{
    QByteArrayList cells{leading};
    for (int k = 0; k < 33; ++k)
        cells << answer;
    return cells.join(',') + "\n";
}

QByteArray header33(const QByteArray &leading)
{
    QByteArrayList names{leading};
    for (int k = 1; k <= 33; ++k)
        names << "q" + QByteArray::number(k);
    return names.join(',') + "\n";
}

// The first row where the export and the scorer differ, or nothing.
QString firstDifference(const Rows &exported, const Rows &scored)
{
    if (exported.size() != scored.size())
        return QStringLiteral("%1 rows exported, %2 scored")
            .arg(exported.size())
            .arg(scored.size());
    for (std::size_t r = 0; r < exported.size(); ++r) {
        // Exported: id, name, time, doctor, site, form, 38 record columns;
        // scored: id, the same 38, error.
        if (exported[r].size() != 44 || scored[r].size() != 40)
            return QStringLiteral("row %1 has %2 and %3 fields")
                .arg(r)
                .arg(exported[r].size())
                .arg(scored[r].size());
        if (exported[r][0] != scored[r][0])
            return QStringLiteral("row %1: id %2 against %3")
                .arg(r)
                .arg(QString::fromStdString(exported[r][0]), QString::fromStdString(scored[r][0]));
        for (std::size_t c = 0; c < 38; ++c)
            if (exported[r][6 + c] != scored[r][1 + c])
                return QStringLiteral("row %1, %2: '%3' against '%4'")
                    .arg(r)
                    .arg(QString::fromStdString(scored[0][1 + c]),
                         QString::fromStdString(exported[r][6 + c]),
                         QString::fromStdString(scored[r][1 + c]));
    }
    return {};
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

    TestDatabase databases_;
    QTemporaryDir dir_;
    DatabaseSettings settings_;
    QString config_;

    // A fresh database, named by a Config.ini of its own.
    bool freshDatabase()
    {
        settings_ = databases_.fresh();
        static int configs = 0;
        config_ = dir_.filePath(QStringLiteral("Config%1.ini").arg(++configs));
        return writeFile(config_, configFor(settings_)) && tests(settings_) == 0;
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }

    Run import(const QString &path, const QString &form = QStringLiteral("33"),
               const QStringList &more = {})
    {
        return records(QStringList{"import", "--form", form, "--config", config_} + more +
                           QStringList{path},
                       dir_.path());
    }

private slots:
    void exportedScoresEqualTizhiScores_data();
    void exportedScoresEqualTizhiScores();
    void lineInErrorStoresNothing_data();
    void lineInErrorStoresNothing();
    void duplicatesStoredOnce_data();
    void duplicatesStoredOnce();
    void clientsMatchedOrCreated_data();
    void clientsMatchedOrCreated();
    void timeColumn_data();
    void timeColumn();
    void exportOneClient_data();
    void exportOneClient();
    void exportWritesForms_data();
    void exportWritesForms();
    void backupWhileOpen();
    void exitStatuses_data();
    void exitStatuses();
};

void TestRecords::exportedScoresEqualTizhiScores_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("rows");
    QTest::newRow("33-item form, 10 000 rows") << Layout::Answers33 << 10000;
    QTest::newRow("66-item form as item strings, 10 000 rows") << Layout::ItemStrings66 << 10000;
    QTest::newRow("66-item form as answer columns, 2 000 rows") << Layout::Rows66 << 2000;
}

void TestRecords::exportedScoresEqualTizhiScores()
{
    QFETCH(Layout, layout);
    QFETCH(int, rows);
    QVERIFY(freshDatabase());
    const QString form = layout == Layout::Answers33 ? "33" : "66";
    const QString forms = file("forms.csv", tizhi::test::records::forms(layout, rows, 20260304u));
    const Run imported = import(forms, form);
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    const Run exported = records({"export", "--config", config_, "exported.csv"}, dir_.path());
    QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
    const Run scored = score({"--form", form, forms, "scored.csv"}, dir_.path());
    QVERIFY2(scored.exitCode == 0, qPrintable(scored.err));

    const Rows mine = parseCsv(readFile(dir_.filePath("exported.csv")));
    const Rows theirs = parseCsv(readFile(dir_.filePath("scored.csv")));
    QCOMPARE(int(mine.size()), rows + 1);
    QCOMPARE(mine[0][0], std::string("id"));
    QCOMPARE(mine[1][5], form.toStdString());
    const QString difference = firstDifference(mine, theirs);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestRecords::lineInErrorStoresNothing_data()
{
    QTest::addColumn<QByteArray>("forms");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("line");
    const QByteArray header = header33("id,name");
    QTest::newRow("an answer that is no number on line 3")
        << header + row33("A1,甲") + row33("A2,乙", "x") + row33("A3,丙") << false << 1 << 3;
    QTest::newRow("GBK, Chinese names, an answer that is no number on line 4")
        << header + row33("A1,张三") + row33("A2,李四") + row33("A3,王五", "x") << true << 1 << 4;
    QTest::newRow("an empty id on line 2")
        << header + row33(",甲") + row33("A2,乙") << false << 1 << 2;
    QTest::newRow("a quote never closed on line 3")
        << header + row33("A1,甲") + "A2,\"乙," + row33("A3,丙") << false << 2 << 3;
    QTest::newRow("too few fields on line 3")
        << header + row33("A1,甲") + "A2,乙,1,2\n" + row33("A3,丙") << false << 2 << 3;
    QTest::newRow("a name longer than a client's on line 2")
        << header + row33("A1," + QByteArray(65, 'n')) << false << 1 << 2;
    QTest::newRow("two answers in one cell on line 2")
        << header + row33("A1,甲", "12") << false << 1 << 2;
}

void TestRecords::lineInErrorStoresNothing()
{
    QFETCH(QByteArray, forms);
    QFETCH(bool, gbk);
    QFETCH(int, status);
    QFETCH(int, line);
    QVERIFY(freshDatabase());
    QVERIFY(addClient(settings_, QStringLiteral("E0"), QStringLiteral("老客户")));
    if (gbk) {
        const auto encoded = cli::encodeFromUtf8(cli::Encoding::Gbk, forms.toStdString());
        QVERIFY(encoded);
        forms = QByteArray::fromStdString(*encoded);
    }
    const Run run = import(file("bad.csv", forms), "33",
                           gbk ? QStringList{"--encoding", "gbk"} : QStringList{});
    QCOMPARE(run.exitCode, status);
    QVERIFY2(run.err.contains(QStringLiteral("tizhi-records: line %1: ").arg(line)),
             qPrintable(run.err));
    QVERIFY2(run.err.contains("nothing was stored"), qPrintable(run.err));
    QCOMPARE(tests(settings_), 0);
    QCOMPARE(clients(settings_), 1);
}

void TestRecords::duplicatesStoredOnce_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("stored");
    const QByteArray header = header33("id,time");
    const QByteArray file = header + row33("A1,2026-03-04 09:00:00") + row33("A2,2026-03-04");
    QTest::newRow("the same file twice") << file << file << 2;
    QTest::newRow("the same answers later on the same day")
        << file << header + row33("A1,2026-03-04 17:30:00") << 2;
    QTest::newRow("the same answers on another day")
        << file << header + row33("A1,2026-03-05 09:00:00") << 3;
    QTest::newRow("other answers on the same day")
        << file << header + row33("A1,2026-03-04 09:00:00", "4") << 3;
    QTest::newRow("one row twice in a file")
        << header + row33("A1,2026-03-04") + row33("A1,2026-03-04") << QByteArray() << 1;
}

void TestRecords::duplicatesStoredOnce()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(int, stored);
    QVERIFY(freshDatabase());
    for (const QByteArray &forms : {first, second}) {
        if (forms.isEmpty())
            continue;
        const Run run = import(file("forms.csv", forms));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }
    QCOMPARE(tests(settings_), stored);
}

void TestRecords::clientsMatchedOrCreated_data()
{
    QTest::addColumn<QByteArray>("forms");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<QString>("identNo");
    QTest::addColumn<QString>("clientName");
    QTest::addColumn<QString>("testName");
    QTest::addColumn<int>("clients");
    // The database holds the client E1, 王五, before each import.
    QTest::newRow("an existing client is matched and keeps its name")
        << header33("id,name") + row33("E1,李四") << false << "E1"
        << "王五"
        << "李四" << 1;
    QTest::newRow("an existing client's name is the test's when the file has none")
        << header33("id") + row33("E1") << false << "E1"
        << "王五"
        << "王五" << 1;
    QTest::newRow("a new client is named by the name column")
        << header33("id,name") + row33("N1,李四") << false << "N1"
        << "李四"
        << "李四" << 2;
    QTest::newRow("a new client without a name is named by its id")
        << header33("id,name") + row33("N2,") << false << "N2"
        << "N2"
        << "N2" << 2;
    QTest::newRow("GBK: a new client named in Chinese")
        << header33("id,name") + row33("N3,张三丰") << true << "N3"
        << "张三丰"
        << "张三丰" << 2;
}

void TestRecords::clientsMatchedOrCreated()
{
    QFETCH(QByteArray, forms);
    QFETCH(bool, gbk);
    QFETCH(QString, identNo);
    QFETCH(QString, clientName);
    QFETCH(QString, testName);
    QFETCH(int, clients);
    QVERIFY(freshDatabase());
    QVERIFY(addClient(settings_, QStringLiteral("E1"), QStringLiteral("王五")));
    if (gbk)
        forms = QByteArray::fromStdString(
            cli::encodeFromUtf8(cli::Encoding::Gbk, forms.toStdString()).value_or("<no GBK>"));
    const Run run = import(file("forms.csv", forms), "33",
                           gbk ? QStringList{"--encoding", "gbk"} : QStringList{});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(::clients(settings_), clients);
    QCOMPARE(storedClientName(settings_, identNo), clientName);
    const QList<StoredTest> stored = storedTests(settings_);
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].identNo, identNo);
    QCOMPARE(stored[0].name, testName);
}

void TestRecords::timeColumn_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<int>("status");
    QTest::addColumn<QDateTime>("stored"); // invalid: the import's own time
    QTest::newRow("a day") << QByteArray("2026-03-04") << 0
                           << QDateTime(QDate(2026, 3, 4), QTime(0, 0));
    QTest::newRow("a day and a time")
        << QByteArray("2026-03-04 09:30:05") << 0 << QDateTime(QDate(2026, 3, 4), QTime(9, 30, 5));
    QTest::newRow("blanks around")
        << QByteArray(" 2026-03-04 ") << 0 << QDateTime(QDate(2026, 3, 4), QTime(0, 0));
    QTest::newRow("an empty cell: the import's time") << QByteArray() << 0 << QDateTime();
    QTest::newRow("one-digit month") << QByteArray("2026-3-04") << 1 << QDateTime();
    QTest::newRow("no such day") << QByteArray("2026-02-30") << 1 << QDateTime();
    QTest::newRow("no such hour") << QByteArray("2026-03-04 24:00:00") << 1 << QDateTime();
    QTest::newRow("a T between day and time")
        << QByteArray("2026-03-04T09:30:05") << 1 << QDateTime();
    QTest::newRow("day first") << QByteArray("04/03/2026") << 1 << QDateTime();
    QTest::newRow("minutes only") << QByteArray("2026-03-04 09:30") << 1 << QDateTime();
}

void TestRecords::timeColumn()
{
    QFETCH(QByteArray, cell);
    QFETCH(int, status);
    QFETCH(QDateTime, stored);
    QVERIFY(freshDatabase());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const Run run = import(file("forms.csv", header33("id,time") + row33("T1," + cell)));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    QCOMPARE(run.exitCode, status);
    const QList<StoredTest> tests = storedTests(settings_);
    if (status != 0) {
        QVERIFY2(run.err.contains("tizhi-records: line 2: the time in column 'time'"),
                 qPrintable(run.err));
        QCOMPARE(tests.size(), 0);
        return;
    }
    QCOMPARE(tests.size(), 1);
    if (stored.isValid())
        QCOMPARE(tests[0].testTime, stored);
    else
        QVERIFY2(tests[0].testTime >= before && tests[0].testTime <= after,
                 qPrintable(tests[0].testTime.toString(Qt::ISODate)));
}

void TestRecords::exportOneClient_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArrayList>("ids");
    QTest::newRow("a client with two tests") << "B" << 0 << QByteArrayList{"B", "B"};
    QTest::newRow("a client with one test") << "A" << 0 << QByteArrayList{"A"};
    QTest::newRow("a client without tests") << "E" << 0 << QByteArrayList{};
    QTest::newRow("no such client") << "Z" << 2 << QByteArrayList{};
}

void TestRecords::exportOneClient()
{
    QFETCH(QString, client);
    QFETCH(int, status);
    QFETCH(QByteArrayList, ids);
    QVERIFY(freshDatabase());
    QVERIFY(addClient(settings_, QStringLiteral("E"), QStringLiteral("空")));
    const Run imported = import(
        file("forms.csv", header33("id") + row33("A") + row33("B") + row33("C") + row33("B", "5")));
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    const Run run = records({"export", "--client", client, "--config", config_}, dir_.path());
    QCOMPARE(run.exitCode, status);
    if (status != 0) {
        QVERIFY2(run.err.contains("no client has the identity number 'Z'"), qPrintable(run.err));
        return;
    }
    const Rows rows = parseCsv(run.out);
    QCOMPARE(int(rows.size()), ids.size() + 1);
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(QByteArray::fromStdString(rows[std::size_t(i) + 1][0]), ids[i]);
}

void TestRecords::exportWritesForms_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QByteArray>("csv");
    QByteArray strings = "id,name,YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe\n";
    // The client's second test differs in its last answer.
    for (const char *id : {"110105194912310021", "110105194912310013", "110105194912310021"})
        strings += QByteArray(id) + (QByteArray(id).endsWith('3') ? ",李明" : ",王秀英") +
                   ",3;2;2;4;1;3;2;,2;2;3;1;1;2;3;1;,3;3;2;2;1;2;3;4;,2;2;2;2;2;2;2;2;,"
                   "1;1;1;1;1;1;1;,2;1;2;1;2;1;2;,3;3;3;3;3;3;3;,1;1;1;1;1;1;1;,3;4;3;4;3;4;3;" +
                   (strings.count('\n') == 3 ? "5" : "4") + ";\n";
    QTest::newRow("33-item tests")
        << "33"
        << header33("id,name") + row33("110105194912310021,王秀英") +
               row33("110105194912310013,李明") + row33("110105194912310021,王秀英", "5");
    QTest::newRow("66-item tests") << "66" << strings;
}

void TestRecords::exportWritesForms()
{
    QFETCH(QString, form);
    QFETCH(QByteArray, csv);
    QVERIFY(freshDatabase());
    const Run imported = import(file("forms.csv", csv), form);
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    QVERIFY(describeClient(settings_, QStringLiteral("110105194912310021")));
    const QString forms = dir_.filePath(QStringLiteral("forms") + form);
    const Run exported =
        records({"export", "--config", config_, "--forms", forms, "exported.csv"}, dir_.path());
    QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
    QVERIFY2(exported.err.contains("wrote 3 forms to"), qPrintable(exported.err));
    QCOMPARE(QDir(forms).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"110105194912310013.pdf", "110105194912310021-2.pdf",
                          "110105194912310021.pdf"}));
    // The client table names the client on the form.
    const QString described = squeezed(pdfText(forms + "/110105194912310021.pdf"));
    for (const char *expected : {"王秀英", "110105194912310021", "女性", "1949-12-31",
                                 "K-2026-0815", form == u"33" ? "33项" : "66项"})
        QVERIFY2(described.contains(QString::fromUtf8(expected)), qPrintable(described));
    QVERIFY2(squeezed(pdfText(forms + "/110105194912310013.pdf")).contains(QStringLiteral("李明")),
             "the second client's name");
    // Again: the forms there are kept, and said to be.
    const Run again =
        records({"export", "--config", config_, "--forms", forms, "exported.csv"}, dir_.path());
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(again.err.contains("wrote 0 forms to") && again.err.contains("kept 3 files"),
             qPrintable(again.err));
}

void TestRecords::backupWhileOpen()
{
    QVERIFY(freshDatabase());
    const Run imported = import(file("forms.csv", forms(Layout::Answers33, 300, 7u)));
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    const QString copy = dir_.filePath("backup.sqlite");
    QVERIFY(writeFile(copy, "an older backup"));
    // The window's connection, in the middle of reading the tests.
    Database open(settings_);
    QCOMPARE(open.open(), QString());
    QSqlQuery reading(open.connection());
    QVERIFY(reading.exec(QStringLiteral("SELECT * FROM habitus_test")));
    QVERIFY(reading.next());

    const Run run = records({"backup", "--config", config_, copy}, dir_.path());
    if (TestDatabase::postgres()) {
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("pg_dump"), qPrintable(run.err));
        return;
    }
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    DatabaseSettings backup;
    backup.name = copy;
    QCOMPARE(tests(backup), 300);
    QCOMPARE(clients(backup), 300);
    QCOMPARE(storedTests(backup).last().record.V_RESULT_TOTAL,
             storedTests(settings_).last().record.V_RESULT_TOTAL);
    QCOMPARE(QFile::permissions(copy) & (QFile::ReadGroup | QFile::ReadOther),
             QFile::Permissions());
}

void TestRecords::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments"); // %config: the test's Config.ini
    QTest::addColumn<QByteArray>("config");     // empty: the fresh database's
    QTest::addColumn<bool>("newerSchema");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    const QStringList import{"import", "--form", "33", "--config", "%config", "forms.csv"};
    QTest::newRow("forms all stored") << import << QByteArray() << false << 0 << "stored 1 of 1";
    QTest::newRow("a row in error")
        << QStringList{"import", "--form", "33", "--config", "%config", "bad.csv"} << QByteArray()
        << false << 1 << "line 2:";
    QTest::newRow("no [Database] section")
        << import << QByteArray("[InterfaceEnv]\n") << false << 2 << "no database is configured";
    QTest::newRow("an unknown driver")
        << import << QByteArray("[Database]\nDriver=oracle\n") << false << 2 << "Driver=oracle";
    QTest::newRow("a schema newer than the program's")
        << import << QByteArray() << true << 2 << "<the data layer's message>";
    QTest::newRow("a settings file that is missing")
        << QStringList{"export", "--config", "missing.ini"} << QByteArray() << false << 2
        << "cannot read";
    QTest::newRow("an input file that is missing")
        << QStringList{"import", "--form", "33", "--config", "%config", "none.csv"} << QByteArray()
        << false << 2 << "cannot open 'none.csv'";
    QTest::newRow("no command") << QStringList{} << QByteArray() << false << 2 << "name a command";
    QTest::newRow("an unknown command")
        << QStringList{"restore", "x"} << QByteArray() << false << 2 << "unknown command 'restore'";
    QTest::newRow("import without a form") << QStringList{"import", "forms.csv"} << QByteArray()
                                           << false << 2 << "import needs --form";
    QTest::newRow("--form 33 and --form 66")
        << QStringList{"import", "--form", "33", "--form", "66", "forms.csv"} << QByteArray()
        << false << 2 << "--form is given twice";
    QTest::newRow("backup without a file")
        << QStringList{"backup"} << QByteArray() << false << 2 << "backup needs the FILE";
}

void TestRecords::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, config);
    QFETCH(bool, newerSchema);
    QFETCH(int, status);
    QFETCH(QString, said);
    QVERIFY(freshDatabase());
    if (!config.isEmpty())
        QVERIFY(writeFile(config_, config));
    QVERIFY(!file("forms.csv", header33("id") + row33("A")).isEmpty());
    QVERIFY(!file("bad.csv", header33("id") + row33("A", "x")).isEmpty());
    if (newerSchema) {
        Database db(settings_);
        QCOMPARE(db.open(), QString());
        QVERIFY(QSqlQuery(db.connection())
                    .exec(QStringLiteral("UPDATE schema_version SET I_VERSION = 99")));
    }
    if (newerSchema) {
        // What the data layer says of it, whatever its words.
        Database db(settings_);
        said = db.open();
        QVERIFY(!said.isEmpty());
    }
    arguments.replaceInStrings(QStringLiteral("%config"), config_);
    const Run run = records(arguments, dir_.path());
    QCOMPARE(run.exitCode, status);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    if (newerSchema)
        QCOMPARE(tests(settings_), -1);
    else if (status != 0)
        QCOMPARE(tests(settings_), 0);
}

TIZHI_REGISTER_TEST(TestRecords);

#include "tst_records.moc"
