// The [Database] section of Config.ini read into the settings the data
// layer opens, and the sections that cannot be used.
#include "test_registry.h"

#include "database_settings.h"

#include <QTest>

using namespace tizhi;
using Driver = DatabaseSettings::Driver;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {
std::optional<QString> given(const char *text)
{
    return text ? std::optional<QString>(QString::fromUtf8(text)) : std::nullopt;
}
} // namespace

class TestDatabaseSettings : public QObject {
    Q_OBJECT

private slots:
    void usable_data()
    {
        QTest::addColumn<std::optional<QString>>("driver");
        QTest::addColumn<std::optional<QString>>("name");
        QTest::addColumn<std::optional<QString>>("port");
        QTest::addColumn<int>("expectedDriver");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<int>("expectedPort");
        auto row = [](const char *what, const char *driver, const char *name, const char *port,
                      Driver expected, const char *expectedName, int expectedPort) {
            QTest::newRow(what) << given(driver) << given(name) << given(port) << int(expected)
                                << QString::fromUtf8(expectedName) << expectedPort;
        };
        row("empty section: SQLite in the data folder", nullptr, nullptr, nullptr, Driver::Sqlite,
            "/data/tizhi.sqlite", 0);
        row("sqlite in capitals, blank name", " SQLite ", "  ", nullptr, Driver::Sqlite,
            "/data/tizhi.sqlite", 0);
        row("relative name: beside Config.ini", "sqlite", "records/诊所.sqlite", nullptr,
            Driver::Sqlite, "/etc/tizhi/records/诊所.sqlite", 0);
        row("relative name going up", "sqlite", "../var/t.sqlite", nullptr, Driver::Sqlite,
            "/etc/var/t.sqlite", 0);
        row("absolute name", "sqlite", "/srv/t.sqlite", nullptr, Driver::Sqlite, "/srv/t.sqlite",
            0);
        row("postgresql with a port", "postgresql", "clinic", "5433", Driver::PostgreSql, "clinic",
            5433);
        row("PostgreSQL without a port", "PostgreSQL", "clinic", " ", Driver::PostgreSql, "clinic",
            0);
        row("highest port", "postgresql", "c", "65535", Driver::PostgreSql, "c", 65535);
    }

    void usable()
    {
        QFETCH(std::optional<QString>, driver);
        QFETCH(std::optional<QString>, name);
        QFETCH(std::optional<QString>, port);
        QFETCH(int, expectedDriver);
        QFETCH(QString, expectedName);
        QFETCH(int, expectedPort);
        DatabaseSection section;
        section.driver = driver;
        section.name = name;
        section.port = port;
        const auto result = interpretDatabaseSection(section, QStringLiteral("/etc/tizhi"),
                                                     QStringLiteral("/data"));
        QVERIFY2(result.settings, qPrintable(result.error));
        QCOMPARE(int(result.settings->driver), expectedDriver);
        QCOMPARE(result.settings->name, expectedName);
        QCOMPARE(result.settings->port, expectedPort);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("named"); // what the message must name
        QTest::newRow("unknown driver") << "mysql"
                                        << ""
                                        << "mysql";
        QTest::newRow("driver with a typo") << "postgres"
                                            << ""
                                            << "postgres";
        QTest::newRow("port 0") << "postgresql"
                                << "0"
                                << "Port=0";
        QTest::newRow("port past 65535") << "postgresql"
                                         << "65536"
                                         << "65536";
        QTest::newRow("port with letters") << "postgresql"
                                           << "54x2"
                                           << "54x2";
        QTest::newRow("negative port") << "postgresql"
                                       << "-1"
                                       << "-1";
        QTest::newRow("port with a sign") << "postgresql"
                                          << "+5432"
                                          << "+5432";
    }

    void refused()
    {
        QFETCH(QString, driver);
        QFETCH(QString, port);
        QFETCH(QString, named);
        DatabaseSection section;
        section.driver = driver;
        section.port = port;
        const auto result =
            interpretDatabaseSection(section, QStringLiteral("/etc"), QStringLiteral("/d"));
        QVERIFY(!result.settings);
        QVERIFY2(result.error.contains(named), qPrintable(result.error));
    }
};

TIZHI_REGISTER_TEST(TestDatabaseSettings);

#include "tst_settings.moc"
