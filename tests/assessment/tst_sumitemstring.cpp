// SumItemString: how an item string becomes a raw score under each keying,
// and which texts stop it with the integer conversion error.
#include "test_registry.h"

#include "item_string.h"
#include "number_text.h"

#include <QTest>

using namespace tizhi;

Q_DECLARE_METATYPE(tizhi::Keying)

class TestSumItemString : public QObject {
    Q_OBJECT

private slots:
    // The answers of an item string, as the questionnaire window fills its
    // boxes and the sums count positions.
    void answers_data()
    {
        QTest::addColumn<QString>("itemString");
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("empty: none") << "" << QStringList();
        QTest::newRow("blank: none") << " \t " << QStringList();
        QTest::newRow("no separator: one answer") << " 3 " << QStringList{"3"};
        QTest::newRow("trailing separator: an empty last answer")
            << "1;2;" << QStringList{"1", "2", ""};
        QTest::newRow("empty slot kept") << "3;;4;5;" << QStringList{"3", "", "4", "5", ""};
        QTest::newRow("no trailing separator") << "1;2;3" << QStringList{"1", "2", "3"};
        QTest::newRow("blanks around pieces") << " 4 ; 5 ; " << QStringList{"4", "5", ""};
        QTest::newRow("pieces are not checked") << "12;x;" << QStringList{"12", "x", ""};
    }

    void answers()
    {
        QFETCH(QString, itemString);
        QFETCH(QStringList, answers);
        const std::string text = itemString.toStdString();
        QStringList got;
        for (std::string_view answer : itemStringAnswers(text))
            got << QString::fromUtf8(answer.data(), qsizetype(answer.size()));
        QCOMPARE(got, answers);
    }

    void sums_data()
    {
        QTest::addColumn<QByteArray>("itemString");
        QTest::addColumn<Keying>("keying");
        QTest::addColumn<qint64>("expected");
        auto row = [](const char *name, const char *s, Keying k, qint64 v) {
            QTest::newRow(name) << QByteArray(s) << k << v;
        };
        row("blank answer keeps its slot", "3;;4;5;", Keying::Plain, 12);
        row("four empty slots", ";;;;", Keying::Plain, 0);
        row("empty text", "", Keying::Plain, 0);
        row("start value 0", "0", Keying::PingHe66, 0);
        row("bare number with blanks", "  7 ", Keying::Plain, 7);
        row("bare number with tab and newline", "\t7\r\n", Keying::Plain, 7);
        row("bare number is forward even for PingHe", "5", Keying::PingHe33, 5);
        row("only blanks", " \t ", Keying::PingHe33, 0);
        row("PingHe33 all 1", "1;1;1;1;1;", Keying::PingHe33, 21);
        row("PingHe33 all 5", "5;5;5;5;5;", Keying::PingHe33, 9);
        row("PingHe66 all 1", "1;1;1;1;1;1;1;1;", Keying::PingHe66, 32);
        row("PingHe66 all 5", "5;5;5;5;5;5;5;5;", Keying::PingHe66, 16);
        row("tail without ; is one more segment", "5;4;3", Keying::Plain, 12);
        row("PingHe33 tail is position 2", "2;4", Keying::PingHe33, 4);
        row("PingHe66 tail is position 6", "5;5;5;5;5;5", Keying::PingHe66, 14);
        row("blank answer keeps reversed position", ";5;", Keying::PingHe33, 1);
        row("0 at a reversed position adds 6", "1;0;", Keying::PingHe33, 7);
        row("0 at a forward position adds 0", "0;1;", Keying::PingHe66, 5);
        row("PingHe66 position 6 forward, 7 reversed", ";;;;;2;2;", Keying::PingHe66, 6);
        row("PingHe66 positions past 8 reversed", ";;;;;;;;1;", Keying::PingHe66, 5);
        row("blanks inside segments", " 3 ; 4\t;5 ;", Keying::Plain, 12);
        row("more answers than slots are all summed", "5;5;5;5;5;5;5;5;5;5;", Keying::Plain, 50);
        row("leading plus sign", "+3;2;", Keying::Plain, 5);
        row("leading minus sign", "-3;2;", Keying::Plain, -1);
        row("minus at reversed position", "0;-1;", Keying::PingHe33, 7);
        row("largest 32-bit answer", "2147483647;2147483647;", Keying::Plain, 4294967294LL);
        row("smallest 32-bit answer", "-2147483648;", Keying::Plain, -2147483648LL);
        row("lone semicolon", ";", Keying::PingHe33, 0);
    }

    void sums()
    {
        QFETCH(QByteArray, itemString);
        QFETCH(Keying, keying);
        QFETCH(qint64, expected);
        QCOMPARE(SumItemString(itemString.toStdString(), keying), expected);
    }

    void conversionErrors_data()
    {
        QTest::addColumn<QByteArray>("itemString");
        QTest::addColumn<QByteArray>("message");
        auto row = [](const char *name, const char *s, const char *m) {
            QTest::newRow(name) << QByteArray(s) << QByteArray(m);
        };
        row("letter in second slot", "3;x;", "'x' is not a valid integer value");
        row("bare word", " abc ", "'abc' is not a valid integer value");
        row("trimmed segment is named", "1; 4 5 ;", "'4 5' is not a valid integer value");
        row("first bad segment wins", "a;b;", "'a' is not a valid integer value");
        row("decimal answer", "2.5;", "'2.5' is not a valid integer value");
        row("beyond 32 bits", "2147483648;", "'2147483648' is not a valid integer value");
        row("below 32 bits", "-2147483649;", "'-2147483649' is not a valid integer value");
        row("sign alone", "+;", "'+' is not a valid integer value");
        row("Chinese text", "3;是;", "'是' is not a valid integer value");
        row("full-width digit", "３;", "'３' is not a valid integer value");
        row("full-width semicolon is no separator", "3；4；",
            "'3；4；' is not a valid integer value");
    }

    void conversionErrors()
    {
        QFETCH(QByteArray, itemString);
        QFETCH(QByteArray, message);
        try {
            SumItemString(itemString.toStdString(), Keying::Plain);
            QFAIL("no conversion error");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()), message);
        }
    }
};

TIZHI_REGISTER_TEST(TestSumItemString);

#include "tst_sumitemstring.moc"
