// Hostile CSV for the batch scorer: unbalanced quotes, a 50 MB field, a
// megabyte answer, 100 000 columns, bytes invalid in the encoding, megabyte
// item strings. Each ends in bounded time with scored rows or a clear error
// naming the line.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "batch_scorer.h"
#include "csv.h"
#include "tizhi_score_main.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <sstream>

using namespace tizhi::cli;

namespace {

std::string header33()
{
    std::string h = "id";
    for (int k = 1; k <= 33; ++k)
        h += ",q" + std::to_string(k);
    return h + "\n";
}

std::string row33(const std::string &id, const std::string &answer)
{
    std::string r = id;
    for (int k = 1; k <= 33; ++k)
        r += "," + answer;
    return r + "\n";
}

struct Outcome {
    ExitStatus status;
    std::string out, err; // err: the diagnostics as the command prints them
    std::size_t longestMessage;
    qint64 ms;
};

Outcome score(const std::string &input, Form form = Form::Items33,
              Encoding encoding = Encoding::Utf8)
{
    std::istringstream in(input);
    std::ostringstream out;
    QElapsedTimer timer;
    timer.start();
    std::string err;
    std::size_t longest = 0;
    const RunResult result =
        scoreCsv(in, out, form, encoding, [&err, &longest](const Diagnostic &diagnostic) {
            err += formatDiagnostic(diagnostic);
            longest = std::max(longest, diagnostic.message.size());
        });
    return {result.status, out.str(), err, longest, timer.elapsed()};
}

} // namespace

class TestHostileCsv : public QObject {
    Q_OBJECT

private slots:
    void unbalancedQuoteNamesItsLine()
    {
        const Outcome o =
            score(header33() + row33("a", "1") + "\"b" + row33("", "1") + row33("c", "1"));
        QCOMPARE(o.status, ExitStatus::Trouble);
        QVERIFY2(QString::fromStdString(o.err).contains("line 3"), o.err.c_str());
        QVERIFY(o.ms < 5000);
    }

    // A 50 MB field, as an id or as an answer, ends the run at its line:
    // past 1 MiB a field is no form's. The rows before it are written.
    void fiftyMegabyteField_data()
    {
        QTest::addColumn<bool>("asId");
        QTest::newRow("as an id") << true;
        QTest::newRow("as an answer") << false;
    }

    void fiftyMegabyteField()
    {
        QFETCH(bool, asId);
        const std::string big(50 * 1024 * 1024, '1');
        std::string row = asId ? row33(big, "2") : "a," + big;
        for (int k = 2; k <= 33 && !asId; ++k)
            row += ",1";
        const Outcome o = score(header33() + row33("ok", "3") + row + (asId ? "" : "\n"));
        QCOMPARE(o.status, ExitStatus::Trouble);
        const std::string told = "line 3: field " + std::string(asId ? "1" : "2") +
                                 " holds more than 1 MiB, the most a field may hold";
        QVERIFY2(o.err.find(told) != std::string::npos, o.err.c_str());
        QVERIFY(o.out.find("\nok,") != std::string::npos);
        QVERIFY(o.err.size() < 2000);
        QVERIFY2(o.ms < 20000, qPrintable(QString::number(o.ms)));
    }

    // An answer of a whole megabyte is refused row by row: the error column
    // holds the whole message, the terminal only its head.
    void megabyteAnswer()
    {
        const std::string big(CsvReader::kMaxFieldBytes, '1');
        std::string answers = "a," + big;
        for (int k = 2; k <= 33; ++k)
            answers += ",1";
        const Outcome o = score(header33() + answers + "\n");
        QCOMPARE(o.status, ExitStatus::RowsWithErrors);
        QVERIFY(o.err.size() < 2000);           // the terminal is spared the whole text
        QVERIFY(o.longestMessage > big.size()); // the diagnostic holds it whole
    }

    void hundredThousandColumns()
    {
        std::string header = header33();
        header.pop_back();
        std::string row = row33("x", "3");
        row.pop_back();
        for (int i = 0; i < 100000; ++i) {
            header += ",extra" + std::to_string(i);
            row += ",";
        }
        const Outcome o = score(header + "\n" + row + "\n");
        QCOMPARE(o.status, ExitStatus::AllScored);
        QVERIFY(o.out.find("[不是平和体质] [阳虚体质]") != std::string::npos);
        QVERIFY2(o.ms < 10000, qPrintable(QString::number(o.ms)));
    }

    void hundredThousandColumnHeaderWithoutTheForm()
    {
        std::string header;
        for (int i = 0; i < 100000; ++i)
            header += "c" + std::to_string(i) + ",";
        const Outcome o = score(header + "\n");
        QCOMPARE(o.status, ExitStatus::Trouble);
        QVERIFY(o.err.size() < 2000);
        QVERIFY(o.ms < 5000);
    }

    void invalidBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("gbk");
        QTest::newRow("UTF-8: lone continuation") << QByteArray("\x80") << false;
        QTest::newRow("UTF-8: overlong") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("UTF-8: surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("UTF-8: beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
        QTest::newRow("UTF-8: truncated") << QByteArray("\xe4\xb8") << false;
        QTest::newRow("GBK: lead byte at the end") << QByteArray("\xd6") << true;
        QTest::newRow("GBK: bad trail byte") << QByteArray("\x81\x7f") << true;
    }

    void invalidBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, gbk);
        const Outcome o = score(header33() + row33("ok", "1") + row33(bytes.toStdString(), "1"),
                                Form::Items33, gbk ? Encoding::Gbk : Encoding::Utf8);
        QCOMPARE(o.status, ExitStatus::Trouble);
        QVERIFY2(QString::fromStdString(o.err).contains("line 3"), o.err.c_str());
    }

    void megabyteItemStrings()
    {
        std::string item;
        for (int i = 0; i < 500000; ++i)
            item += "1;";
        const std::string input = "YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe\n" +
                                  item + ",0,0,0,0,0,0,0,0\n";
        const Outcome o = score(input, Form::Items66);
        QCOMPARE(o.status, ExitStatus::AllScored);
        QVERIFY(o.out.find(",500000,") != std::string::npos);
        QVERIFY2(o.ms < 10000, qPrintable(QString::number(o.ms)));
    }
};

TIZHI_REGISTER_TEST(TestHostileCsv);

#include "tst_hostile_csv.moc"
