// Item strings of a megabyte, as a careless paste may leave in a type field:
// summed in time linear in their length, or refused with the usual message.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "assessment.h"
#include "item_string.h"

#include <QElapsedTimer>
#include <QTest>

using namespace tizhi;

class TestHostileItems : public QObject {
    Q_OBJECT

private slots:
    void megabyteItemStrings_data()
    {
        QTest::addColumn<QByteArray>("itemString");
        QTest::addColumn<qint64>("sum"); // -1: a conversion error
        QTest::newRow("half a million answers")
            << QByteArray("1;").repeated(500000) << qint64(500000);
        QTest::newRow("a million separators") << QByteArray(1000000, ';') << qint64(0);
        QTest::newRow("a million blanks") << QByteArray(1000000, ' ') << qint64(0);
        QTest::newRow("a megabyte of digits") << QByteArray(1000000, '7') << qint64(-1);
        QTest::newRow("a megabyte of letters after answers")
            << QByteArray("5;").repeated(1000) + QByteArray(1000000, 'x') << qint64(-1);
        QTest::newRow("largest answers summed without overflow")
            << QByteArray("2147483647;").repeated(90000) << qint64(2147483647) * 90000;
    }

    void megabyteItemStrings()
    {
        QFETCH(QByteArray, itemString);
        QFETCH(qint64, sum);
        QElapsedTimer timer;
        timer.start();
        const std::string text = itemString.toStdString();
        if (sum >= 0) {
            QCOMPARE(SumItemString(text, Keying::Plain), sum);
            (void)SumItemString(text, Keying::PingHe66); // also linear, also no overflow
        } else {
            QVERIFY_THROWS_EXCEPTION(ConvertError, SumItemString(text, Keying::Plain));
        }
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    // Scores read back from a record may be any text: a megabyte of digits
    // reads as an exact number; a megabyte exponent is refused.
    void megabyteScoresReadBack()
    {
        AssessmentRecord record = startRecord();
        record.V_YANGXU_FIELD = " ";
        record.N_YANGXU_CON = "4" + std::string(1000000, '0') + ".5";
        QElapsedTimer timer;
        timer.start();
        try {
            Assess66(record);
            QFAIL("a number beyond every range was accepted");
        } catch (const ConvertError &) {
        }
        record.N_YANGXU_CON = "0." + std::string(1000000, '0') + "1";
        Assess66(record);
        QCOMPARE(QString::fromStdString(record.V_CON_TOTAL).contains("[阳虚体质: 0]"), true);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

TIZHI_REGISTER_TEST(TestHostileItems);

#include "tst_hostile_items.moc"
