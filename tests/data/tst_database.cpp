// The data layer on a real engine (SQLite, or PostgreSQL under
// pg_virtualenv): the schema made and kept, refused when newer, the code
// dictionary, saving and deleting with conflicts between two workstations,
// the link from details to their client, field sizes, and Find.
#include "test_registry.h"

#include "client_search.h"
#include "code_dictionary.h"
#include "database.h"
#include "record_table.h"
#include "schema.h"
#include "test_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <memory>

using namespace tizhi;
using tizhi::test::TestDatabase;

namespace {

std::unique_ptr<Database> opened(const DatabaseSettings &settings, QString *error)
{
    auto db = std::make_unique<Database>(settings);
    db->setBusyTimeout(200);
    *error = db->open();
    return db;
}

// Adds a record through the model, as a page saves one; false with the
// model's error when the save fails.
bool addRecord(RecordTable &table, const QList<QPair<const char *, QVariant>> &values)
{
    QSqlRecord record = table.record();
    for (const auto &[name, value] : values)
        record.setValue(QLatin1String(name), value);
    if (!table.insertRecord(0, record))
        return false;
    if (!table.submitAll()) {
        table.revertAll();
        return false;
    }
    return true;
}

bool addClient(RecordTable &table, const QString &name, const QString &identNo,
               const QString &cardNo = QString())
{
    return addRecord(table, {{"V_NAME", name}, {"V_IDENT_NO", identNo}, {"V_CARD_NO", cardNo}});
}

QVariant valueAt(RecordTable &table, int row, const char *name)
{
    return table.data(table.index(row, table.column(name)));
}

int count(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

} // namespace

class TestDatabase_ : public QObject {
    Q_OBJECT

    TestDatabase databases_;

private slots:
    void createsSchemaAndSeedsCodes()
    {
        QString error;
        auto db = opened(databases_.fresh(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QSqlDatabase connection = db->connection();
        QCOMPARE(storedSchemaVersion(connection), kSchemaVersion);
        QCOMPARE(count(db->connection(), QStringLiteral("SELECT COUNT(*) FROM code_dictionary")),
                 int(codeSeeds().size()));
        const auto testTypes =
            codeList(db->connection(), QStringLiteral("T_MEDICINE_DIAGNOSE_HAB_TEST_TYPE"));
        QCOMPARE(testTypes.size(), 2);
        QCOMPARE(testTypes[0].code, QStringLiteral("33"));
        QCOMPARE(testTypes[0].name, QStringLiteral("33项中医体质测试"));
        QCOMPARE(testTypes[1].name, QStringLiteral("66项中医体质测试"));
        // The birth hours come in the order of the day, by code, not by name.
        const auto hours =
            codeList(db->connection(), QStringLiteral("T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE"));
        QCOMPARE(hours.size(), 12);
        QVERIFY2(hours.first().name.startsWith(QStringLiteral("子时")),
                 qPrintable(hours.first().name));
        QVERIFY2(hours.last().name.startsWith(QStringLiteral("亥时")),
                 qPrintable(hours.last().name));
        const auto sexes =
            codeList(db->connection(), QStringLiteral("T_MEDICINE_DIAGNOSE_SEX_TYPE"));
        QStringList sexCodes;
        for (const auto &entry : sexes)
            sexCodes << entry.code;
        sexCodes.sort();
        QCOMPARE(sexCodes, QStringList({"0", "1", "2", "9"}));
    }

    void keepsRecordsAcrossOpenings()
    {
        const DatabaseSettings settings = databases_.fresh();
        QString error;
        {
            auto db = opened(settings, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            RecordTable clients(clientKind(), db->connection());
            QVERIFY(clients.selectRecords());
            QVERIFY2(addClient(clients, QStringLiteral("王五"), QStringLiteral("A-1")),
                     qPrintable(clients.lastError().text()));
        }
        auto db = opened(settings, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable clients(clientKind(), db->connection());
        QVERIFY(clients.selectRecords());
        QCOMPARE(clients.rowCount(), 1);
        QCOMPARE(valueAt(clients, 0, "V_NAME").toString(), QStringLiteral("王五"));
        QCOMPARE(valueAt(clients, 0, "I_VERSION").toInt(), 1);
        QCOMPARE(count(db->connection(), QStringLiteral("SELECT COUNT(*) FROM code_dictionary")),
                 int(codeSeeds().size()));
    }

    void refusesNewerSchemaWithoutWriting()
    {
        const DatabaseSettings settings = databases_.fresh();
        QString error;
        {
            auto db = opened(settings, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QVERIFY(QSqlQuery(db->connection())
                        .exec(QStringLiteral("UPDATE schema_version SET I_VERSION = 99")));
            QVERIFY(
                QSqlQuery(db->connection()).exec(QStringLiteral("DELETE FROM code_dictionary")));
        }
        auto db = opened(settings, &error);
        QVERIFY2(error.contains(QStringLiteral("99")), qPrintable(error));
        QVERIFY(!db->isOpen());
        Database look(settings);
        QVERIFY(!look.open().isEmpty());
        // Nothing was written: the dictionary stays empty, the version 99.
        QSqlDatabase raw = QSqlDatabase::cloneDatabase(look.connection(), QStringLiteral("raw"));
        QVERIFY(raw.open());
        QCOMPARE(count(raw, QStringLiteral("SELECT MAX(I_VERSION) FROM schema_version")), 99);
        QCOMPARE(count(raw, QStringLiteral("SELECT COUNT(*) FROM code_dictionary")), 0);
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

    void refusesWhatIsNoDatabase()
    {
        DatabaseSettings settings = databases_.fresh();
        if (TestDatabase::postgres()) {
            settings.name = QStringLiteral("no_such_database");
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(settings.name).path()));
            QFile file(settings.name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, 'x'));
        }
        QString error;
        auto db = opened(settings, &error);
        QVERIFY2(!error.isEmpty(), "a database that is none opened");
        QVERIFY(!db->isOpen());
        QVERIFY2(error.contains(TestDatabase::postgres() ? QStringLiteral("no_such_database")
                                                         : QStringLiteral("损坏")),
                 qPrintable(error));
    }

    void conflictBetweenWorkstations_data()
    {
        QTest::addColumn<bool>("firstDeletes");
        QTest::addColumn<bool>("secondDeletes");
        QTest::newRow("saved after another saved") << false << false;
        QTest::newRow("saved after another deleted") << true << false;
        QTest::newRow("deleted after another saved") << false << true;
        QTest::newRow("deleted after another deleted") << true << true;
    }

    void conflictBetweenWorkstations()
    {
        QFETCH(bool, firstDeletes);
        QFETCH(bool, secondDeletes);
        const DatabaseSettings settings = databases_.fresh();
        QString error;
        auto deskA = opened(settings, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        auto deskB = opened(settings, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable a(clientKind(), deskA->connection());
        RecordTable b(clientKind(), deskB->connection());
        QVERIFY(a.selectRecords());
        QVERIFY(addClient(a, QStringLiteral("赵六"), QStringLiteral("C-1")));
        QVERIFY(b.selectRecords());
        QCOMPARE(b.rowCount(), 1);

        if (firstDeletes)
            QVERIFY(a.removeRow(0));
        else
            QVERIFY(a.setData(a.index(0, a.column("V_PHONE")), QStringLiteral("111")));
        QVERIFY2(a.submitAll(), qPrintable(a.lastError().text()));

        if (secondDeletes)
            QVERIFY(b.removeRow(0));
        else
            QVERIFY(b.setData(b.index(0, b.column("V_PHONE")), QStringLiteral("222")));
        QVERIFY2(!b.submitAll(), "the second workstation overwrote the first");
        QVERIFY(b.lastErrorIsConflict());
        if (!secondDeletes)
            QCOMPARE(valueAt(b, 0, "V_PHONE").toString(),
                     QStringLiteral("222")); // kept for the user

        QVERIFY(a.selectRecords());
        QCOMPARE(a.rowCount(), firstDeletes ? 0 : 1);
        if (!firstDeletes) {
            QCOMPARE(valueAt(a, 0, "V_PHONE").toString(), QStringLiteral("111"));
            QCOMPARE(valueAt(a, 0, "I_VERSION").toInt(), 2);
        }
    }

    void savesWithoutConflictRaiseTheVersion()
    {
        QString error;
        auto db = opened(databases_.fresh(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable clients(clientKind(), db->connection());
        QVERIFY(clients.selectRecords());
        QVERIFY(addClient(clients, QStringLiteral("孙七"), QStringLiteral("D-1")));
        for (int save = 1; save <= 3; ++save) {
            QVERIFY(clients.setData(clients.index(0, clients.column("I_AGE")), 60 + save));
            QVERIFY2(clients.submitAll(), qPrintable(clients.lastError().text()));
        }
        QCOMPARE(valueAt(clients, 0, "I_VERSION").toInt(), 4);
        QCOMPARE(valueAt(clients, 0, "I_AGE").toInt(), 63);
    }

    void detailsFollowTheirClient()
    {
        QString error;
        auto db = opened(databases_.fresh(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable clients(clientKind(), db->connection());
        RecordTable diagnoses(diagnoseKind(), db->connection());
        RecordTable contacts(contactKind(), db->connection());
        QVERIFY(clients.selectRecords());
        QVERIFY(addClient(clients, QStringLiteral("周八"), QStringLiteral("E-1")));
        const QDateTime when(QDate(2026, 12, 1), QTime(9, 30, 5));
        for (RecordTable *details : {&diagnoses, &contacts}) {
            details->setClient(QStringLiteral("E-1"));
            QVERIFY(details->selectRecords());
            const char *timeField = details == &diagnoses ? "T_TREAT_TIME" : "T_CON_TIME";
            QVERIFY2(addRecord(*details, {{"V_NAME", QStringLiteral("周八")},
                                          {"V_IDENT_NO", QStringLiteral("E-1")},
                                          {timeField, when}}),
                     qPrintable(details->lastError().text()));
            QCOMPARE(details->rowCount(), 1);
            QCOMPARE(valueAt(*details, 0, timeField).toDateTime(), when);
        }
        // A client with details cannot be deleted.
        QCOMPARE(detailCount(db->connection(), "diagnose_record", QStringLiteral("E-1")), 1);
        QVERIFY(clients.removeRow(0));
        QVERIFY2(!clients.submitAll(), "a client with details was deleted");
        QVERIFY(!clients.lastErrorIsConflict());
        clients.revertAll();
        // A new identity number reaches the details.
        QVERIFY(clients.selectRecords());
        QVERIFY(
            clients.setData(clients.index(0, clients.column("V_IDENT_NO")), QStringLiteral("E-2")));
        QVERIFY2(clients.submitAll(), qPrintable(clients.lastError().text()));
        for (RecordTable *details : {&diagnoses, &contacts}) {
            details->setClient(QStringLiteral("E-2"));
            QVERIFY(details->selectRecords());
            QCOMPARE(details->rowCount(), 1);
            details->setClient(QStringLiteral("E-1"));
            QVERIFY(details->selectRecords());
            QCOMPARE(details->rowCount(), 0);
        }
    }

    void fieldSizesAreEnforced_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        QTest::newRow("name") << "V_NAME" << 64;
        QTest::newRow("identity number") << "V_IDENT_NO" << 32;
        QTest::newRow("address") << "V_ADDRESS" << 255;
    }

    void fieldSizesAreEnforced()
    {
        QFETCH(QString, field);
        QFETCH(int, size);
        QString error;
        auto db = opened(databases_.fresh(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable clients(clientKind(), db->connection());
        QVERIFY(clients.selectRecords());
        QVERIFY(addClient(clients, QStringLiteral("吴九"), QStringLiteral("F-1")));
        // Chinese characters count as one each on both engines.
        QVERIFY(clients.setData(clients.index(0, clients.fieldIndex(field)), QString(size, u'体')));
        QVERIFY2(clients.submitAll(), qPrintable(clients.lastError().text()));
        QVERIFY(
            clients.setData(clients.index(0, clients.fieldIndex(field)), QString(size + 1, u'体')));
        QVERIFY2(!clients.submitAll(), "a value past the field's size was saved");
        clients.revertAll();
    }

    void findsClients_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found"); // names, newest first
        QTest::newRow("part of a name") << "张" << QStringList{"张小明", "张三"};
        QTest::newRow("identity number's x in small") << "002x" << QStringList{"张三"};
        QTest::newRow("card number") << "CARD-7" << QStringList{"李四"};
        QTest::newRow("card number in small letters") << "card-7" << QStringList{"李四"};
        QTest::newRow("a percent sign is a character") << "100%" << QStringList{"王%"};
        QTest::newRow("an underscore is a character") << "_" << QStringList{"钱_"};
        QTest::newRow("nothing matches") << "赵" << QStringList{};
    }

    void findsClients()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QString error;
        auto db = opened(databases_.fresh(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RecordTable clients(clientKind(), db->connection());
        QVERIFY(clients.selectRecords());
        QVERIFY(addClient(clients, QStringLiteral("张三"), QStringLiteral("11010519491231002X")));
        QVERIFY(addClient(clients, QStringLiteral("李四"), QStringLiteral("G-2"),
                          QStringLiteral("CARD-7")));
        QVERIFY(addClient(clients, QStringLiteral("王%"), QStringLiteral("G-3"),
                          QStringLiteral("100%")));
        QVERIFY(addClient(clients, QStringLiteral("钱_"), QStringLiteral("G-4")));
        QVERIFY(addClient(clients, QStringLiteral("张小明"), QStringLiteral("G-5"),
                          QStringLiteral("1000")));
        QStringList names;
        qint64 before = 0;
        while (const auto id = findClient(db->connection(), text, before)) {
            QSqlQuery query(db->connection());
            query.prepare(QStringLiteral("SELECT V_NAME FROM client WHERE ID = ?"));
            query.addBindValue(*id);
            QVERIFY(query.exec() && query.next());
            names << query.value(0).toString();
            before = *id;
            QVERIFY2(names.size() <= 5, "Find again does not move on");
        }
        QCOMPARE(names, found);
    }

    void sqliteFileIsTheOwnersAlone()
    {
        if (TestDatabase::postgres())
            QSKIP("a file of the SQLite engine only");
        const DatabaseSettings settings = databases_.fresh();
        QString error;
        auto db = opened(settings, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther |
                            QFileDevice::ExeGroup | QFileDevice::ExeOther;
        QCOMPARE(QFileInfo(settings.name).permissions() & (owner | others), owner);
        QCOMPARE(QFileInfo(QFileInfo(settings.name).path()).permissions() & others,
                 QFileDevice::Permissions());
        QSqlQuery mode(db->connection());
        QVERIFY(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
        QCOMPARE(mode.value(0).toString().toLower(), QStringLiteral("wal"));
    }

    void sqliteLockHeldTooLongIsReported()
    {
        if (TestDatabase::postgres())
            QSKIP("a lock of the SQLite engine's file");
        const DatabaseSettings settings = databases_.fresh();
        QString error;
        auto db = opened(settings, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        Database other(settings);
        QVERIFY(other.open().isEmpty());
        QSqlQuery lock(other.connection());
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        RecordTable clients(clientKind(), db->connection());
        clients.selectRecords();
        QVERIFY2(!addClient(clients, QStringLiteral("郑十"), QStringLiteral("H-1")),
                 "wrote through a lock");
        const QString message = databaseErrorText(clients.lastError());
        QVERIFY2(message.contains(QStringLiteral("锁定")), qPrintable(message));
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        QVERIFY2(addClient(clients, QStringLiteral("郑十"), QStringLiteral("H-1")),
                 qPrintable(clients.lastError().text()));
    }
};

TIZHI_REGISTER_TEST(TestDatabase_);

#include "tst_database.moc"
