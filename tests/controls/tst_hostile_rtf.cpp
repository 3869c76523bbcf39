// Hostile RTF: deep nesting, huge lengths and numbers, broken escapes and
// invalid bytes. Each input is read in bounded time, without recursion that
// could overflow the stack, keeping the text around the damage.
#include "test_registry.h"

#include "rtf.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace tizhi;

class TestHostileRtf : public QObject {
    Q_OBJECT

private slots:
    void hostileInputs_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected"); // text read, or "*" for any
        const int deep = 100000;
        QTest::newRow("100 000 nested groups")
            << "{\\rtf1 " + QByteArray(deep, '{') + "deep" + QByteArray(deep, '}') + " end}"
            << "deep end";
        QTest::newRow("100 000 unclosed groups") << "{\\rtf1 a" + QByteArray(deep, '{') + "b"
                                                 << "ab";
        QTest::newRow("100 000 stray closing braces") << "{\\rtf1 a" + QByteArray(deep, '}') + "b}"
                                                      << "ab";
        QTest::newRow("nested skipped destinations")
            << "{\\rtf1 x" + QByteArray(deep / 10, '{') + "\\*\\foo " + QByteArray(deep / 10, '}') +
                   "y}"
            << "xy";
        QTest::newRow("bin with the largest length")
            << QByteArray("{\\rtf1 a\\bin2147483647 b}") << "a";
        QTest::newRow("bin with a 30-digit length")
            << QByteArray("{\\rtf1 a\\bin999999999999999999999999999999 b}") << "a";
        QTest::newRow("bin with a negative length") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
        QTest::newRow("unicode far out of range")
            << QByteArray("{\\rtf1 \\u99999999999999?x\\u-99999?y}")
            << QString(QChar(0xFFFD)) + "x" + QChar(0xFFFD) + "y";
        QTest::newRow("uc far out of range")
            << QByteArray("{\\rtf1\\uc999999999 \\u20013 abc}") << "中";
        QTest::newRow("huge font size and colour index")
            << QByteArray("{\\rtf1\\fs2147483647\\cf99999\\f-7 big}") << "big";
        QTest::newRow("truncated escapes") << QByteArray("{\\rtf1 a\\'") << "a";
        QTest::newRow("escape with one digit") << QByteArray("{\\rtf1 a\\'d}b") << "ab";
        QTest::newRow("invalid GBK pairs")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'ff\\'ff\\'81\\'7f\\'80z}") << "*";
        QTest::newRow("control word of 100 000 letters")
            << "{\\rtf1 " + QByteArray(100000, 'x') + "}" << QString(QByteArray(100000, 'x'));
        QTest::newRow("backslash word of 100 000 letters")
            << "{\\rtf1 \\" + QByteArray(100000, 'q') + " ok}"
            << "ok";
        QTest::newRow("100 000 font table entries")
            << "{\\rtf1{\\fonttbl" + QByteArray("{\\f1 A;}").repeated(100000) + "}\\f1 t}"
            << "t";
        QTest::newRow("only the header") << QByteArray("{\\rtf") << "";
    }

    void hostileInputs()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QTextDocument document;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rtf::read(rtf, document));
        const qint64 ms = timer.elapsed();
        if (expected != "*")
            QCOMPARE(document.toPlainText(), expected);
        QVERIFY2(ms < 10000, qPrintable(QString::number(ms) + " ms"));
    }

    // Time grows with the size, not faster: ten times the input may take at
    // most a few times ten times as long.
    void timeIsLinearInTheInput()
    {
        auto timeFor = [](int groups) {
            const QByteArray rtf = "{\\rtf1 " + QByteArray("{\\b x}{\\i y}").repeated(groups) + "}";
            QTextDocument document;
            QElapsedTimer timer;
            timer.start();
            rtf::read(rtf, document);
            return std::max<qint64>(timer.elapsed(), 1);
        };
        const qint64 small = timeFor(2000);
        const qint64 large = timeFor(20000);
        QVERIFY2(large < 40 * small + 200,
                 qPrintable(QStringLiteral("%1 ms vs %2 ms").arg(large).arg(small)));
    }
};

TIZHI_REGISTER_TEST(TestHostileRtf);

#include "tst_hostile_rtf.moc"
