// What the batch scorer hands back (diagnostics with their line and field,
// and how the run ended) and how the command prints a diagnostic.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "batch_scorer.h"
#include "tizhi_score_main.h"

#include <QTest>

#include <sstream>
#include <vector>

using namespace tizhi::cli;

using Diagnostics = std::vector<Diagnostic>;
Q_DECLARE_METATYPE(Form)
Q_DECLARE_METATYPE(Encoding)
Q_DECLARE_METATYPE(ExitStatus)
Q_DECLARE_METATYPE(Diagnostic)
Q_DECLARE_METATYPE(Diagnostics)

namespace {

QByteArray header33()
{
    QByteArray header = "id";
    for (int k = 1; k <= 33; ++k)
        header += ",q" + QByteArray::number(k);
    return header + "\n";
}

// A 33-item row whose first answer is `first` and every other one `rest`.
QByteArray row33(const QByteArray &id, const QByteArray &first, const QByteArray &rest = "3")
{
    QByteArray row = id + "," + first;
    for (int k = 2; k <= 33; ++k)
        row += "," + rest;
    return row + "\n";
}

// "id,YangXu1,...,PingHe8" and a row of 67 answers, the last `last`.
QByteArray answerColumns66(const QByteArray &last)
{
    const std::pair<const char *, int> types[] = {{"YangXu", 7}, {"YinXu", 8},  {"QiXu", 8},
                                                  {"TanShi", 8}, {"ShiRe", 7},  {"XueYu", 7},
                                                  {"QiYu", 7},   {"TeBing", 7}, {"PingHe", 8}};
    QByteArray header = "id";
    for (const auto &[name, rows] : types)
        for (int r = 1; r <= rows; ++r)
            header += "," + QByteArray(name) + QByteArray::number(r);
    QByteArray row = "a";
    for (int i = 1; i < 67; ++i)
        row += ",2";
    return header + "\n" + row + "," + last + "\n";
}

Diagnostic rowError(std::int64_t line, std::size_t column, const std::string &message)
{
    return {line, column, message, true};
}

Diagnostic stop(std::int64_t line, std::size_t column, const std::string &message)
{
    return {line, column, message, false};
}

} // namespace

class TestDiagnostics : public QObject {
    Q_OBJECT

private slots:
    void scoreCsvHandsBackDiagnostics_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Form>("form");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<ExitStatus>("status");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<qint64>("failedRows");
        QTest::addColumn<Diagnostics>("diagnostics");

        const QByteArray h = header33();
        const Form f33 = Form::Items33;
        const Encoding utf8 = Encoding::Utf8;
        QTest::newRow("every row scored: nothing to tell")
            << h + row33("a", "3") + row33("b", "1") << f33 << utf8 << ExitStatus::AllScored
            << qint64(2) << qint64(0) << Diagnostics{};
        QTest::newRow("an answer that is no number: a row error on its line")
            << h + row33("a", "3") + row33("b", "x") << f33 << utf8 << ExitStatus::RowsWithErrors
            << qint64(2) << qint64(1)
            << Diagnostics{rowError(3, 0, "'x' is not a valid integer value")};
        QTest::newRow("a long row error is handed back whole")
            << h + row33("a", QByteArray(400, 'x')) << f33 << utf8 << ExitStatus::RowsWithErrors
            << qint64(1) << qint64(1)
            << Diagnostics{
                   rowError(2, 0, "'" + std::string(400, 'x') + "' is not a valid integer value")};
        QTest::newRow("a ';' in a 33-item answer names its field")
            << h + row33("a", "1;2") << f33 << utf8 << ExitStatus::RowsWithErrors << qint64(1)
            << qint64(1)
            << Diagnostics{rowError(2, 2,
                                    "the answer in column 'q1' holds ';', which no answer "
                                    "box can hold")};
        QTest::newRow("a ';' in a 66-item answer column names its field")
            << answerColumns66("4;") << Form::Items66 << utf8 << ExitStatus::RowsWithErrors
            << qint64(1) << qint64(1)
            << Diagnostics{rowError(2, 68,
                                    "the answer in column 'PingHe8' holds ';', which no "
                                    "answer box can hold")};
        QTest::newRow("bytes that are no GBK text stop the run at their field")
            << h + row33("a", "1") + row33("b", "\x81\x7f") << f33 << Encoding::Gbk
            << ExitStatus::Trouble << qint64(1) << qint64(0)
            << Diagnostics{stop(3, 2, "field 2 holds bytes that are not GBK text")};
        QTest::newRow("a row of another length stops the run at its line")
            << h + row33("a", "3") + "b,1,2\n" + row33("c", "3") << f33 << utf8
            << ExitStatus::Trouble << qint64(1) << qint64(0)
            << Diagnostics{stop(3, 0, "the row has 3 fields where the header has 34")};
        QTest::newRow("row errors before a stop are all told, in order")
            << h + row33("a", "x") + row33("b", "y") + "\"c" << f33 << utf8 << ExitStatus::Trouble
            << qint64(2) << qint64(2)
            << Diagnostics{rowError(2, 0, "'x' is not a valid integer value"),
                           rowError(3, 0, "'y' is not a valid integer value"),
                           stop(4, 0, "a quoted field opened on this line is never closed")};
        QTest::newRow("an empty input: told for the input as a whole")
            << QByteArray() << f33 << utf8 << ExitStatus::Trouble << qint64(0) << qint64(0)
            << Diagnostics{stop(0, 0, "the input is empty; the first line must name the columns")};
        QTest::newRow("a header the form cannot read: told on line 1")
            << QByteArray("id,q1\n1,2\n") << f33 << utf8 << ExitStatus::Trouble << qint64(0)
            << qint64(0)
            << Diagnostics{stop(1, 0,
                                "the 33-item form needs the columns q1 ... q33; missing: q2, "
                                "q3, q4, q5, q6, q7, q8, q9, q10, q11 and 22 more")};
        QTest::newRow("a column read twice: told on line 1")
            << h.chopped(1) + ", Q5 \n"
            << f33 << utf8 << ExitStatus::Trouble << qint64(0) << qint64(0)
            << Diagnostics{stop(1, 0, "the column 'Q5' appears twice in the header")};
        QTest::newRow("a byte order mark read as GBK: told on line 1")
            << "\xef\xbb\xbf" + h << f33 << Encoding::Gbk << ExitStatus::Trouble << qint64(0)
            << qint64(0)
            << Diagnostics{stop(1, 0,
                                "the input begins with a UTF-8 byte order mark: it is UTF-8 "
                                "text; read it with --encoding utf-8")};
    }

    void scoreCsvHandsBackDiagnostics()
    {
        QFETCH(QByteArray, input);
        QFETCH(Form, form);
        QFETCH(Encoding, encoding);
        QFETCH(ExitStatus, status);
        QFETCH(qint64, rows);
        QFETCH(qint64, failedRows);
        QFETCH(Diagnostics, diagnostics);

        std::istringstream in(input.toStdString());
        std::ostringstream out;
        Diagnostics told;
        const RunResult result =
            scoreCsv(in, out, form, encoding, [&told](const Diagnostic &d) { told.push_back(d); });
        QCOMPARE(result.status, status);
        QCOMPARE(result.rows, rows);
        QCOMPARE(result.failedRows, failedRows);
        QCOMPARE(told.size(), diagnostics.size());
        for (std::size_t i = 0; i < told.size(); ++i) {
            QCOMPARE(told[i].line, diagnostics[i].line);
            QCOMPARE(told[i].column, diagnostics[i].column);
            QCOMPARE(told[i].message, diagnostics[i].message);
            QCOMPARE(told[i].rowError, diagnostics[i].rowError);
        }
    }

    void formatDiagnostic_data()
    {
        QTest::addColumn<Diagnostic>("diagnostic");
        QTest::addColumn<QByteArray>("text");

        QTest::newRow("a row error with its line")
            << rowError(5, 0, "'x' is not a valid integer value")
            << QByteArray("tizhi-score: line 5: 'x' is not a valid integer value\n");
        QTest::newRow("the field shows only as the message names it")
            << stop(3, 2, "field 2 holds bytes that are not GBK text")
            << QByteArray("tizhi-score: line 3: field 2 holds bytes that are not GBK text\n");
        QTest::newRow("no line for the input as a whole")
            << stop(0, 0, "the input is empty; the first line must name the columns")
            << QByteArray("tizhi-score: the input is empty; the first line must name the "
                          "columns\n");
        QTest::newRow("a long row error shows its first 300 bytes")
            << rowError(2, 0, std::string(300, 'a') + "b")
            << "tizhi-score: line 2: " + QByteArray(300, 'a') + "...\n";
        QTest::newRow("a row error of 300 bytes shows whole")
            << rowError(2, 0, std::string(300, 'a'))
            << "tizhi-score: line 2: " + QByteArray(300, 'a') + "\n";
        QTest::newRow("a long message that stops the run shows whole")
            << stop(1, 0, "cannot read '" + std::string(400, 'p') + "': Is a directory")
            << "tizhi-score: line 1: cannot read '" + QByteArray(400, 'p') + "': Is a directory\n";
    }

    void formatDiagnostic()
    {
        QFETCH(Diagnostic, diagnostic);
        QFETCH(QByteArray, text);
        QCOMPARE(QByteArray::fromStdString(tizhi::cli::formatDiagnostic(diagnostic)), text);
    }
};

TIZHI_REGISTER_TEST(TestDiagnostics);

#include "tst_diagnostics.moc"
