// Number texts: exact rounding of transformed scores, and reading scores back
// from the record the way the assessments do.
#include "test_registry.h"

#include "number_text.h"

#include <QTest>

using namespace tizhi;

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void roundsFractionsHalfUp_data()
    {
        QTest::addColumn<qint64>("numerator");
        QTest::addColumn<qint64>("denominator");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, qint64 n, qint64 d, const char *e) {
            QTest::newRow(name) << n << d << QString(e);
        };
        row("28.125 -> 28.13", 28125, 1000, "28.13");
        row("65.625 -> 65.63", 65625, 1000, "65.63");
        row("3.125 -> 3.13", 3125, 1000, "3.13");
        row("71.875 -> 71.88", 71875, 1000, "71.88");
        row("78.125 -> 78.13", 78125, 1000, "78.13");
        row("1000.005 -> 1000.01", 1000005, 1000, "1000.01");
        row("0.005 -> 0.01", 5, 1000, "0.01");
        row("0.0049999 stays 0", 49999, 10000000, "0");
        row("just under a half rounds down", 28124999, 1000000, "28.12");
        row("whole number has no point", 50, 1, "50");
        row("no trailing zero", 125, 10, "12.5");
        row("zero", 0, 7, "0");
        row("one seventh of 300 (n=7, raw 19)", 300, 7, "42.86");
        row("n=6 raw 14", 200, 6, "33.33");
        row("n=6 raw 13", 175, 6, "29.17");
        row("n=6 raw 35", 725, 6, "120.83");
        row("rounding carries into the whole part", 99999, 1000, "100");
        row("negative half goes away from zero", -28125, 1000, "-28.13");
        row("huge values stay exact", Q_INT64_C(9000000000000000005), 1000, "9000000000000000.01");
    }

    void roundsFractionsHalfUp()
    {
        QFETCH(qint64, numerator);
        QFETCH(qint64, denominator);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(numberText2(numerator, denominator)), expected);
    }

    void readsScoresBack_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *t, const char *e) {
            QTest::newRow(name) << QByteArray(t) << QString(e);
        };
        row("two decimals as stored", "28.13", "28.13");
        row("one decimal", "62.5", "62.5");
        row("integer from a 33-item run", "12", "12");
        row("blanks around", " \t50 ", "50");
        row("exact third-decimal half rounds up", "28.125", "28.13");
        row("long fraction just under the half", "28.124999999999999999999", "28.12");
        row("trailing zeros", "40.500", "40.5");
        row("leading zeros", "007.25", "7.25");
        row("point without fraction", "5.", "5");
        row("fraction without whole", ".5", "0.5");
        row("exponent", "1e2", "100");
        row("negative exponent", "125E-3", "0.13");
        row("negative zero reads as 0", "-0", "0");
        row("tiny negative rounds to 0", "-0.001", "0");
        row("plus sign", "+3", "3");
        row("negative", "-2.345", "-2.35");
        row("beyond every integer type", "123456789012345678901234567890.125",
            "123456789012345678901234567890.13");
        row("far below a hundredth", "1e-4000", "0");
        row("lowest exponent reads as zero", "1e-999999999999", "0");
    }

    void readsScoresBack()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(Decimal::parse(text.toStdString()).toText2()), expected);
    }

    void refusesNonNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        for (const char *t : {"", " ", "abc", "1.2.3", "1e", "1e+", "--1", "1,5", ".", "e5", "1 2",
                              "0x10", "inf", "NaN", "1e5000", "5%", "５"})
            QTest::newRow(t) << QByteArray(t);
    }

    void refusesNonNumbers()
    {
        QFETCH(QByteArray, text);
        try {
            Decimal::parse(text.toStdString());
            QFAIL("accepted");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()),
                     "'" + text + "' is not a valid floating point value");
        }
    }

    void comparesExactly_data()
    {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<int>("expected");
        auto row = [](const char *a, const char *b, int e) {
            QTest::newRow(QByteArray(a) + " vs " + b) << QByteArray(a) << QByteArray(b) << e;
        };
        row("60", "60", 0);
        row("59.99999999999999999999", "60", -1);
        row("60.000000000000000000001", "60", 1);
        row("62.5", "60", 1);
        row("6e1", "60", 0);
        row("-40", "30", -1);
        row("-50", "-40", -1);
        row("0", "-0", 0);
        row("100", "99.9", 1);
        row("0.3", "0.29", 1);
    }

    void comparesExactly()
    {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(int, expected);
        QCOMPARE(Decimal::parse(a.toStdString()).compare(Decimal::parse(b.toStdString())),
                 expected);
    }

    void integerRanges_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("fits32");
        QTest::addColumn<bool>("fits64");
        QTest::newRow("small") << QByteArray("42") << true << true;
        QTest::newRow("int32 max") << QByteArray("2147483647") << true << true;
        QTest::newRow("int32 min") << QByteArray("-2147483648") << true << true;
        QTest::newRow("int32 max + 1") << QByteArray("2147483648") << false << true;
        QTest::newRow("int64 max") << QByteArray("9223372036854775807") << false << true;
        QTest::newRow("int64 min") << QByteArray("-9223372036854775808") << false << true;
        QTest::newRow("int64 max + 1") << QByteArray("9223372036854775808") << false << false;
        QTest::newRow("many leading zeros")
            << QByteArray("000000000000000000000000000001") << true << true;
        QTest::newRow("empty") << QByteArray("") << false << false;
    }

    void integerRanges()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, fits32);
        QFETCH(bool, fits64);
        const std::string s = text.toStdString();
        auto accepted32 = [&] {
            try {
                return QByteArray::number(parseInteger32(s)) ==
                       QByteArray::number(text.toLongLong());
            } catch (const ConvertError &) {
                return false;
            }
        };
        auto accepted64 = [&] {
            try {
                return QByteArray::number(qlonglong(parseInteger64(s))) ==
                       QByteArray::number(text.toLongLong());
            } catch (const ConvertError &) {
                return false;
            }
        };
        QCOMPARE(accepted32(), fits32);
        QCOMPARE(accepted64(), fits64);
    }
};

TIZHI_REGISTER_TEST(TestNumberText);

#include "tst_numbertext.moc"
