// Stored constitution tests in the data layer, on a real engine: a test
// written and read back field for field, the two forms kept apart in one
// client's list, the questions a test left unanswered, and the migration
// of a database made before tests were kept.
#include "test_registry.h"

#include "database.h"
#include "record_table.h"
#include "schema.h"
#include "test_database.h"
#include "test_records.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <memory>

using namespace tizhi;
using tizhi::test::TestDatabase;

namespace {

int count(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

bool exec(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    return query.exec(sql);
}

Answers33 answersOf(const char *digits)
{
    Answers33 answers;
    for (std::size_t i = 0; i < answers.size() && digits[i]; ++i)
        if (digits[i] != ' ')
            answers[i] = std::string(1, digits[i]);
    return answers;
}

StoredTest scored33(const QString &identNo, const char *digits)
{
    StoredTest test;
    test.form = QLatin1String(kForm33Code);
    test.testTime = QDateTime(QDate(2026, 3, 4), QTime(9, 30, 5));
    test.name = QStringLiteral("赵六");
    test.identNo = identNo;
    test.doctor = QStringLiteral("钱医生");
    test.site = QStringLiteral("东街社区卫生服务站");
    test.answers = answersOf(digits);
    BuildItemStrings33(test.answers, test.record);
    Assess33(test.record);
    return test;
}

void addClient(const QSqlDatabase &db, const QString &identNo)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO client (V_NAME, V_IDENT_NO) VALUES (?, ?)"));
    query.addBindValue(QStringLiteral("赵六"));
    query.addBindValue(identNo);
    query.exec();
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

    TestDatabase databases_;

private slots:
    void storesEveryFieldAndReadsItBack()
    {
        Database db(databases_.fresh());
        QCOMPARE(db.open(), QString());
        addClient(db.connection(), QStringLiteral("T-1"));
        StoredTest test = scored33(QStringLiteral("T-1"), "123451234512345123451234512345 21");
        test.remark = QStringLiteral("{\\rtf1 备注}");
        TestWriter writer(db.connection());
        QCOMPARE(writer.insert(test), QString());
        QVERIFY(writer.lastId() > 0);

        RecordTable tests(testKind(), db.connection());
        tests.setScope(kTestTypeColumn, QLatin1String(kForm33Code));
        tests.setClient(QStringLiteral("T-1"));
        QVERIFY(tests.selectRecords());
        QCOMPARE(tests.rowCount(), 1);
        const StoredTest back = readTest(tests.record(0));
        QCOMPARE(back.form, test.form);
        QCOMPARE(back.testTime, test.testTime);
        QCOMPARE(back.name, test.name);
        QCOMPARE(back.doctor, test.doctor);
        QCOMPARE(back.site, test.site);
        QCOMPARE(back.remark, test.remark);
        for (std::size_t i = 0; i < test.answers.size(); ++i)
            QCOMPARE(back.answers[i], test.answers[i]);
        for (const AssessmentColumn &column : assessmentColumns())
            QVERIFY2(back.record.*column.member == test.record.*column.member, column.name);
        // Question 31 was left blank; the record says how many were.
        QCOMPARE(tests.record(0).value(QLatin1String(kUnansweredColumn)).toInt(), 1);
    }

    void listsOneFormOfOneClient()
    {
        Database db(databases_.fresh());
        QCOMPARE(db.open(), QString());
        for (const char *client : {"A", "B"})
            addClient(db.connection(), QLatin1String(client));
        TestWriter writer(db.connection());
        StoredTest a33 = scored33(QStringLiteral("A"), "111111111111111111111111111111111");
        StoredTest a66 = a33;
        a66.form = QLatin1String(kForm66Code);
        StoredTest b33 = scored33(QStringLiteral("B"), "222222222222222222222222222222222");
        for (const StoredTest *test : {&a33, &a66, &a33, &b33})
            QCOMPARE(writer.insert(*test), QString());
        RecordTable tests(testKind(), db.connection());
        tests.setClient(QStringLiteral("A"));
        tests.setScope(kTestTypeColumn, QLatin1String(kForm33Code));
        QVERIFY(tests.selectRecords());
        QCOMPARE(tests.recordCount(), 2);
        // Newest first.
        QVERIFY(tests.idAt(0) > tests.idAt(1));
        tests.setScope(kTestTypeColumn, QLatin1String(kForm66Code));
        QVERIFY(tests.selectRecords());
        QCOMPARE(tests.recordCount(), 1);
        // A quote in an identity number is a value, not SQL.
        tests.setClient(QStringLiteral("A' OR '1' = '1"));
        QVERIFY(tests.selectRecords());
        QCOMPARE(tests.recordCount(), 0);
    }

    void refusesTestWithoutClient()
    {
        Database db(databases_.fresh());
        QCOMPARE(db.open(), QString());
        TestWriter writer(db.connection());
        QVERIFY(!writer.insert(scored33(QStringLiteral("nobody"), "1")).isEmpty());
        QCOMPARE(count(db.connection(), QStringLiteral("SELECT COUNT(*) FROM habitus_test")), 0);
    }

    void namesUnansweredQuestions_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QByteArray>("answers");            // the 33 answers, blank for none
        QTest::addColumn<QList<QByteArray>>("itemStrings"); // the 66-item form's, by type code
        QTest::addColumn<QStringList>("expected");
        const QList<QByteArray> complete66 = {
            "1;1;1;1;1;1;1;",   "1;1;1;1;1;1;1;1;", "1;1;1;1;1;1;1;1;",
            "1;1;1;1;1;1;1;1;", "1;1;1;1;1;1;1;",   "1;1;1;1;1;1;1;",
            "1;1;1;1;1;1;1;",   "1;1;1;1;1;1;1;",   "1;1;1;1;1;1;1;1;"};
        QTest::newRow("33 complete") << "33" << QByteArray(33, '3') << complete66 << QStringList();
        QTest::newRow("33 first and last blank")
            << "33" << (" " + QByteArray(31, '2') + " ") << complete66
            << QStringList{"第 1 题", "第 33 题"};
        QTest::newRow("33 all blank") << "33" << QByteArray(33, ' ') << complete66 << [] {
            QStringList all;
            for (int q = 1; q <= 33; ++q)
                all << QStringLiteral("第 %1 题").arg(q);
            return all;
        }();
        QList<QByteArray> gap = complete66;
        gap[0] = "1;;1;1;1;1;1;";
        gap[1] = "1;1;1;1;1;1;";
        QTest::newRow("66 gap and short string")
            << "66" << QByteArray() << gap
            << QStringList{"阳虚体质第 2 题", "阴虚体质第 7 题", "阴虚体质第 8 题"};
        QList<QByteArray> start = complete66;
        start[3] = "0";
        QTest::newRow("66 type left at its start value")
            << "66" << QByteArray() << start
            << QStringList{"痰湿体质第 2 题", "痰湿体质第 3 题", "痰湿体质第 4 题",
                           "痰湿体质第 5 题", "痰湿体质第 6 题", "痰湿体质第 7 题",
                           "痰湿体质第 8 题"};
    }

    void namesUnansweredQuestions()
    {
        QFETCH(QString, form);
        QFETCH(QByteArray, answers);
        QFETCH(QList<QByteArray>, itemStrings);
        QFETCH(QStringList, expected);
        StoredTest test;
        test.form = form;
        test.answers = answersOf(answers.constData());
        for (const ConstitutionType &type : kTypes)
            test.record.*fieldsOf(type).field = itemStrings[type.code - 1].toStdString();
        QCOMPARE(unansweredQuestions(test), expected);
    }

    void migratesFirstVersionInOneTransaction_data()
    {
        QTest::addColumn<bool>("blocked"); // a table in the way makes the step fail
        QTest::newRow("clean") << false;
        QTest::newRow("step fails, nothing changed") << true;
    }

    void migratesFirstVersionInOneTransaction()
    {
        QFETCH(bool, blocked);
        const DatabaseSettings settings = databases_.fresh();
        {
            // Made as the first version was: no test table, version 1.
            Database db(settings);
            QCOMPARE(db.open(), QString());
            addClient(db.connection(), QStringLiteral("OLD-1"));
            QVERIFY(exec(db.connection(), QStringLiteral("DROP TABLE habitus_test")));
            QVERIFY(
                exec(db.connection(), QStringLiteral("UPDATE schema_version SET I_VERSION = 1")));
            if (blocked)
                QVERIFY(exec(db.connection(),
                             QStringLiteral("CREATE TABLE habitus_test_client (X INTEGER)")));
        }
        Database db(settings);
        const QString error = db.open();
        QCOMPARE(error.isEmpty(), !blocked);
        Database look(settings);
        look.open();
        QSqlDatabase raw = QSqlDatabase::cloneDatabase(look.connection(), QStringLiteral("raw"));
        QVERIFY(raw.open());
        QCOMPARE(count(raw, QStringLiteral("SELECT MAX(I_VERSION) FROM schema_version")),
                 blocked ? 1 : kSchemaVersion);
        QCOMPARE(count(raw, QStringLiteral("SELECT COUNT(*) FROM client")), 1);
        // The new table came with its index, or not at all.
        QCOMPARE(raw.tables().contains(QStringLiteral("habitus_test")), !blocked);
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        if (!blocked) {
            TestWriter writer(db.connection());
            QCOMPARE(writer.insert(scored33(QStringLiteral("OLD-1"), "3")), QString());
        }
    }
};

TIZHI_REGISTER_TEST(TestRecords);

#include "tst_test_records.moc"
