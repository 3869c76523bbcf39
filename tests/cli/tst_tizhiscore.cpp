// tizhi-score end to end: the real command on small files, as a health
// worker would run it on forms typed in from paper.
#include "test_registry.h"

#include "batch_scorer.h"
#include "csv.h"

#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace tizhi::cli;

Q_DECLARE_METATYPE(ExitStatus)

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runScorer(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(TIZHI_SCORE_PATH), arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Output rows as maps from column name to value.
QList<QMap<QString, QString>> table(const QByteArray &csv)
{
    std::istringstream in(csv.toStdString());
    CsvReader reader(in);
    std::vector<std::string> header, fields;
    QList<QMap<QString, QString>> rows;
    if (!reader.next(header))
        return rows;
    while (reader.next(fields)) {
        QMap<QString, QString> row;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i)
            row[QString::fromStdString(header[i])] = QString::fromStdString(fields[i]);
        rows << row;
    }
    return rows;
}

QByteArray header33(const QString &prefix = "id")
{
    QStringList names{prefix};
    for (int k = 1; k <= 33; ++k)
        names << QStringLiteral("q%1").arg(k);
    return names.join(',').toUtf8();
}

// A 33-item row: id, then every answer `value` with the listed overrides.
QByteArray row33(const QByteArray &id, const char *value, QMap<int, QByteArray> overrides = {})
{
    QByteArrayList cells{id};
    for (int k = 1; k <= 33; ++k)
        cells << overrides.value(k, value);
    return cells.join(',');
}

const char *const kNames66[9] = {"YangXu", "YinXu", "QiXu",   "TanShi", "ShiRe",
                                 "XueYu",  "QiYu",  "TeBing", "PingHe"};
const int kRows66[9] = {7, 8, 8, 8, 7, 7, 7, 7, 8};

QByteArray writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return dir.filePath(name).toUtf8();
}

} // namespace

class TestTizhiScore : public QObject {
    Q_OBJECT

private slots:
    void form33FromFileWithBomCrlfAndQuotedFields()
    {
        QTemporaryDir dir;
        // Columns in another order and case, an extra column, a BOM, CRLF,
        // and an id with a comma and a line break in it.
        QStringList names{"Q33", "note", "ID"};
        for (int k = 1; k <= 32; ++k)
            names << QStringLiteral("q%1").arg(k);
        QByteArray csv = "\xef\xbb\xbf" + names.join(',').toUtf8() + "\r\n";
        QByteArrayList a{"1", "free text", "\"王, 五\r\n二号\""};
        for (int k = 1; k <= 32; ++k)
            a << "1";
        csv += a.join(',') + "\r\n";
        QByteArrayList b{"3", "\"x,y\"", "7"};
        for (int k = 1; k <= 32; ++k)
            b << "3";
        csv += b.join(',') + "\r\n";
        const QByteArray input = writeFile(dir, "forms.csv", csv);
        const Run run = runScorer({"--form", "33", QString::fromUtf8(input)});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("id,V_YANGXU_FIELD,N_YANGXU_ORG,N_YANGXU_CON,V_YANGXU_RESULT,"));
        QVERIFY(run.out.contains(",V_CON_TOTAL,V_RESULT_TOTAL,error\n"));
        const auto rows = table(run.out);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0]["id"], "王, 五\r\n二号");
        QCOMPARE(rows[0]["N_PINGHE_CON"], "21");
        QCOMPARE(rows[0]["V_PINGHE_RESULT"], "是");
        QCOMPARE(rows[0]["V_RESULT_TOTAL"], "[平和体质]");
        QCOMPARE(rows[0]["error"], "");
        QCOMPARE(rows[1]["id"], "7");
        QCOMPARE(rows[1]["V_XUEYU_FIELD"], "3;3;3;3;"); // q33 came first in the file
        QCOMPARE(rows[1]["V_CON_TOTAL"],
                 "[平和体质: 15]; [阳虚体质: 12]; [阴虚体质: 12]; [气虚体质: 12]; [痰湿体质: 12]; "
                 "[湿热体质: 12]; [血瘀体质: 12]; [气郁体质: 12]; [特禀体质: 12].");
    }

    void letterInAnAnswerMarksOnlyItsRow()
    {
        const QByteArray input = header33() + "\n" + row33("a", "2") + "\n" +
                                 row33("b", "2", {{23, "x"}}) + "\n" + row33("c", "1") + "\n";
        const Run run = runScorer({"--form", "33"}, input);
        QCOMPARE(run.exitCode, 1);
        const auto rows = table(run.out);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1]["error"], "'x' is not a valid integer value");
        // What the window shows after the failed run from start-up: item
        // strings all written, YangXu to TanShi scored, the rest still empty.
        QCOMPARE(rows[1]["V_SHIRE_FIELD"], "x;2;2;2;");
        QCOMPARE(rows[1]["N_TANSHI_CON"], "8");
        QCOMPARE(rows[1]["N_SHIRE_CON"], "");
        QCOMPARE(rows[1]["V_RESULT_TOTAL"], "");
        QCOMPARE(rows[2]["V_RESULT_TOTAL"], "[平和体质]");
        QVERIFY2(run.err.contains("line 3: 'x' is not a valid integer value"), qPrintable(run.err));
    }

    void form66ItemStrings()
    {
        QByteArray csv = "id,YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe\n";
        csv += "1,3;3;3;3;3;3;3;,0,17,0,2;2;2;3;3;2;;,0,0,0,28\n";
        csv += "2,0,,0,0,0,0,0,0,0\n"; // a type field left empty
        const Run run = runScorer({"--form", "66", "-", "-"}, csv);
        QCOMPARE(run.exitCode, 1);
        const auto rows = table(run.out);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0]["N_YANGXU_CON"], "50");
        QCOMPARE(rows[0]["V_YANGXU_RESULT"], "是");
        QCOMPARE(rows[0]["N_QIXU_CON"], "28.13");
        QCOMPARE(rows[0]["N_SHIRE_CON"], "33.33");
        QCOMPARE(rows[0]["N_PINGHE_CON"], "62.5");
        QCOMPARE(rows[0]["V_PINGHE_RESULT"], "否");
        QCOMPARE(rows[0]["V_RESULT_TOTAL"], "[不是平和体质] [阳虚体质] [有湿热体质倾向]");
        QCOMPARE(rows[1]["error"], "'' is not a valid floating point value");
        QCOMPARE(rows[1]["N_PINGHE_CON"], "0");
        QCOMPARE(rows[1]["V_CON_TOTAL"], "");
    }

    void form66AnswerRows()
    {
        QStringList names{"id"};
        QStringList cells{"r1"};
        for (int t = 0; t < 9; ++t) {
            for (int r = 1; r <= kRows66[t]; ++r) {
                names << QStringLiteral("%1%2").arg(kNames66[t]).arg(r).toLower();
                // ShiRe answered by a woman: row 7 stays empty.
                QString value = t == 4 ? (r == 7 ? "" : QString(r <= 3 ? "2" : "3")) : "1";
                if (t == 0 && r == 2)
                    value = " 4 ";
                cells << value;
            }
        }
        const QByteArray csv = names.join(',').toUtf8() + "\n" + cells.join(',').toUtf8() + "\n";
        const Run run = runScorer({"--form", "66"}, csv);
        QCOMPARE(run.exitCode, 0);
        const auto rows = table(run.out);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0]["V_YANGXU_FIELD"], "1;4;1;1;1;1;1;");
        QCOMPARE(rows[0]["V_SHIRE_FIELD"], "2;2;2;3;3;3;;");
        QCOMPARE(rows[0]["N_SHIRE_ORG"], "15");
        QCOMPARE(rows[0]["N_SHIRE_CON"], "37.5");
        QCOMPARE(rows[0]["N_PINGHE_ORG"], "32");
        QCOMPARE(rows[0]["V_RESULT_TOTAL"], "[基本是平和体质] [有湿热体质倾向]");
    }

    void gbkInAndOut()
    {
        QStringEncoder toGbk("GBK");
        const QByteArray input =
            toGbk.encode(QString::fromUtf8(header33() + "\n" + row33("张三", "3") + "\n"));
        const Run run = runScorer({"--form", "33", "--encoding", "gbk"}, input);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("\xd5\xc5\xc8\xfd")); // 张三
        QVERIFY(!run.out.contains("\xe5\xbc\xa0"));    // no UTF-8 张
        QStringDecoder fromGbk("GBK");
        const QString text = fromGbk.decode(run.out);
        QVERIFY(!fromGbk.hasError());
        const auto rows = table(text.toUtf8());
        QCOMPARE(rows[0]["id"], "张三");
        QCOMPARE(rows[0]["V_RESULT_TOTAL"],
                 "[不是平和体质] [阳虚体质] [阴虚体质] [气虚体质] [痰湿体质] [湿热体质] "
                 "[血瘀体质] [气郁体质] [特禀体质]");
    }

    void usageAndInputErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        const QByteArray h = header33();
        QTest::newRow("missing column named")
            << QStringList{"--form", "33"} << QByteArray(h).replace(",q17,", ",x17,") + "\n"
            << "missing: q17";
        QTest::newRow("both 66 forms at once")
            << QStringList{"--form", "66"}
            << QByteArray("YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe,YangXu1\n")
            << "mixes the two 66-item forms";
        QTest::newRow("66 item-string column missing")
            << QStringList{"--form", "66"}
            << QByteArray("YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing\n")
            << "missing: PingHe";
        QTest::newRow("66 answer columns incomplete")
            << QStringList{"--form", "66"} << QByteArray("YangXu1,YangXu2\n") << "YangXu3";
        QTest::newRow("repeated column") << QStringList{"--form", "33"} << h + ",Q5\n"
                                         << "'Q5' appears twice";
        QTest::newRow("empty input")
            << QStringList{"--form", "33"} << QByteArray() << "the input is empty";
        QTest::newRow("unclosed quote names its line")
            << QStringList{"--form", "33"} << h + "\n" + row33("a", "1") + "\n\"b,1\n"
            << "line 3: a quoted field opened on this line is never closed";
        QTest::newRow("short row")
            << QStringList{"--form", "33"} << h + "\n" + row33("a", "1") + "\nb,1,2\n"
            << "line 3: the row has 3 fields where the header has 34";
        QTest::newRow("invalid UTF-8")
            << QStringList{"--form", "33"} << h + "\n" + row33("\xe5\xbc", "1") + "\n"
            << "line 2: field 1 holds bytes that are not UTF-8 text";
        QTest::newRow("invalid GBK")
            << QStringList{"--form", "33", "--encoding", "gbk"}
            << h + "\n" + row33("ok", "1") + "\n" + row33("\xa1\x7f", "1") + "\n"
            << "line 3: field 1 holds bytes that are not GBK text";
        QTest::newRow("no form") << QStringList{} << QByteArray() << "--form 33 or --form 66";
        QTest::newRow("bad form") << QStringList{"--form", "44"} << QByteArray()
                                  << "--form must be 33 or 66";
        QTest::newRow("bad encoding") << QStringList{"--form=33", "--encoding=latin1"}
                                      << QByteArray() << "--encoding must be utf-8 or gbk";
        QTest::newRow("unknown option")
            << QStringList{"--form", "33", "--fast"} << QByteArray() << "unknown option '--fast'";
        QTest::newRow("missing input file")
            << QStringList{"--form", "33", "/nonexistent/forms.csv"} << QByteArray()
            << "cannot open '/nonexistent/forms.csv'";
    }

    void usageAndInputErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const Run run = runScorer(arguments, input);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // The exit status says how the run ended, and standard error holds
    // exactly what the command told on the way.
    void exitStatusSaysHowTheRunEnded_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("outputFull");
        QTest::addColumn<ExitStatus>("status");
        QTest::addColumn<QByteArray>("told");
        const QStringList form33{"--form", "33"};
        const QByteArray h = header33() + "\n";
        QTest::newRow("every row scored") << form33 << h + row33("a", "3") + "\n"
                                          << false << ExitStatus::AllScored << QByteArray();
        QTest::newRow("a row carries an error")
            << form33 << h + row33("a", "3") + "\n" + row33("b", "x") + "\n"
            << false << ExitStatus::RowsWithErrors
            << QByteArray("tizhi-score: line 3: 'x' is not a valid integer value\n"
                          "tizhi-score: 1 of 2 rows carry an error\n");
        QTest::newRow("a row error, then a row that stops the run")
            << form33 << h + row33("a", "x") + "\nb,1\n"
            << false << ExitStatus::Trouble
            << QByteArray("tizhi-score: line 2: 'x' is not a valid integer value\n"
                          "tizhi-score: line 3: the row has 2 fields where the header has 34\n"
                          "tizhi-score: 1 of 1 rows carry an error\n");
        QTest::newRow("wrong usage")
            << QStringList{"--form", "44"} << QByteArray() << false << ExitStatus::Trouble
            << QByteArray("tizhi-score: --form must be 33 or 66, not '44'\n"
                          "Try 'tizhi-score --help'.\n");
        QTest::newRow("an empty input")
            << form33 << QByteArray() << false << ExitStatus::Trouble
            << QByteArray("tizhi-score: the input is empty; the first line must name the "
                          "columns\n");
        QTest::newRow("standard output cannot be written")
            << form33 << h + row33("a", "3") + "\n"
            << true << ExitStatus::Trouble
            << QByteArray("tizhi-score: the output could not be written\n");
    }

    void exitStatusSaysHowTheRunEnded()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(bool, outputFull);
        QFETCH(ExitStatus, status);
        QFETCH(QByteArray, told);
        QProcess process;
        if (outputFull)
            process.setStandardOutputFile("/dev/full");
        process.start(QStringLiteral(TIZHI_SCORE_PATH), arguments);
        QVERIFY(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), static_cast<int>(status));
        QCOMPARE(process.readAllStandardError(), told);
    }

    void outputFileOnlyWhenTheInputWasWhole()
    {
        QTemporaryDir dir;
        const QByteArray good = writeFile(dir, "good.csv", header33() + "\n" + row33("a", "1"));
        const QString out = dir.filePath("out.csv");
        QCOMPARE(runScorer({"--form", "33", QString::fromUtf8(good), out}).exitCode, 0);
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(table(written.readAll()).size(), 1);

        const QByteArray bad = writeFile(dir, "bad.csv", header33() + "\n\"a,1\n");
        const QString out2 = dir.filePath("out2.csv");
        QCOMPARE(runScorer({"--form", "33", QString::fromUtf8(bad), out2}).exitCode, 2);
        QVERIFY(!QFile::exists(out2));
        QVERIFY(!QFile::exists(out2 + ".part"));
    }

    // After "--" a name that begins with "-" is a file, not an option.
    void fileNamesAfterTheOptionsEnd()
    {
        QTemporaryDir dir;
        writeFile(dir, "-forms.csv", header33() + "\n" + row33("a", "1") + "\n");
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(TIZHI_SCORE_PATH), {"--form", "33", "--", "-forms.csv"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const auto rows = table(process.readAllStandardOutput());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0]["id"], "a");

        process.start(QStringLiteral(TIZHI_SCORE_PATH), {"--form", "33", "-forms.csv"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("unknown option"));
    }

    void helpDescribesTheColumns()
    {
        const Run run = runScorer({"--help"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("Usage: tizhi-score --form 33|66"));
        QVERIFY(run.out.contains("YangXu1"));
    }

    // Many rows stream through: the output has one line per input row.
    void manyRows()
    {
        QByteArray input = header33() + "\n";
        for (int i = 0; i < 5000; ++i)
            input += row33(QByteArray::number(i), i % 2 ? "1" : "3") + "\n";
        const Run run = runScorer({"--form", "33"}, input);
        QCOMPARE(run.exitCode, 0);
        const auto rows = table(run.out);
        QCOMPARE(rows.size(), 5000);
        QCOMPARE(rows[4999]["id"], "4999");
        QCOMPARE(rows[4999]["V_RESULT_TOTAL"], "[平和体质]");
    }
};

TIZHI_REGISTER_TEST(TestTizhiScore);

#include "tst_tizhiscore.moc"
