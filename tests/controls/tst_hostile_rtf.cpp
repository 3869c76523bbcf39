// Hostile RTF: deep nesting, huge lengths and numbers, broken escapes and
// invalid bytes. Each input is read in bounded time, without recursion that
// could overflow the stack, keeping the text around the damage.
#include "test_registry.h"

#include "rtf.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/resource.h>

namespace {

// The process's highest resident memory so far.
long peakMemoryKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

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
        QVERIFY(rtf::read(rtf, document));
        if (expected != "*")
            QCOMPARE(document.toPlainText(), expected);
    }

    // Every run looks its font up in constant time: fonts and runs ten
    // times as many take about ten times as long, not a hundred. (The fonts
    // share one family: Qt's own cost for thousands of families is not the
    // reader's.)
    void fontLookUpIsConstantTime()
    {
        auto timeFor = [](int fonts) {
            QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl";
            for (int f = 0; f < fonts; ++f)
                rtf += "{\\f" + QByteArray::number(f) + "\\fcharset134 SimSun;}";
            rtf += "}";
            for (int f = fonts - 1; f >= 0; --f)
                rtf += "{\\f" + QByteArray::number(f) + " x}";
            rtf += "}";
            QTextDocument document;
            QElapsedTimer timer;
            timer.start();
            rtf::read(rtf, document);
            return std::max<qint64>(timer.elapsed(), 1);
        };
        const qint64 small = timeFor(3000);
        const qint64 large = timeFor(30000);
        QVERIFY2(large < 40 * small + 200,
                 qPrintable(QStringLiteral("%1 ms vs %2 ms").arg(large).arg(small)));
    }

    // Tables of millions of bare ";" keep no entries: the text after them
    // still reads with the first fonts and colours.
    void hugeTablesAreBounded_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        const QByteArray semicolons(5 * 1024 * 1024, ';');
        QTest::newRow("5 MB font table")
            << "{\\rtf1{\\fonttbl{\\f1 Arial;}" + semicolons + "}\\f1 t}";
        QTest::newRow("5 MB colour table")
            << "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;" + semicolons + "}\\cf1 t}";
    }

    void hugeTablesAreBounded()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        const long peakBefore = peakMemoryKilobytes();
        QVERIFY(rtf::read(rtf, document));
        // Unbounded, five million entries took over 500 MB.
        const long grown = peakMemoryKilobytes() - peakBefore;
        QVERIFY2(grown < 100 * 1024, qPrintable(QString::number(grown) + " kB more at the peak"));
        QCOMPARE(document.toPlainText(), "t");
        const QTextCharFormat format = QTextCursor(document.lastBlock()).charFormat();
        if (rtf.contains("colortbl"))
            QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
        else
            QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Arial"});
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
