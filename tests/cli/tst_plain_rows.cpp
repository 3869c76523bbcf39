// Rows read in place and scored from answers scored once per type: what the
// batch scorer does for the common row must give the very bytes the record
// path gives, wherever a row falls in the reader's buffer.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "assessment.h"
#include "batch_scorer.h"
#include "csv.h"
#include "row_scorer.h"

#include <QTest>

#include <functional>
#include <random>
#include <sstream>

using namespace tizhi;
using namespace tizhi::cli;

namespace {

using Diagnostics = std::vector<Diagnostic>;

// Reads every record through the in-place interface; records joined by "/",
// fields by "|", each record with its line number first.
std::string readViews(const std::string &input)
{
    std::istringstream in(input);
    CsvReader reader(in);
    std::vector<std::string_view> fields;
    std::string records;
    while (reader.next(fields)) {
        records += std::to_string(reader.recordLine()) + ":";
        for (std::size_t i = 0; i < fields.size(); ++i)
            records += (i ? "|" : "") + std::string(fields[i]);
        records += "/";
    }
    return records;
}

// The output row the record path writes for the record `assess` fills in
// from start-up, or nothing when the assessment stops with an error.
std::optional<std::string> expectedRow(const std::string &id,
                                       const std::function<void(AssessmentRecord &)> &assess)
{
    AssessmentRecord record = startRecord();
    try {
        assess(record);
    } catch (const ConvertError &) {
        return std::nullopt;
    }
    std::vector<std::string> fields{id};
    for (const TypeFields &f : kTypeFields) {
        fields.push_back(record.*f.field);
        fields.push_back(record.*f.org);
        fields.push_back(record.*f.con);
        fields.push_back(record.*f.result);
    }
    fields.push_back(record.V_CON_TOTAL);
    fields.push_back(record.V_RESULT_TOTAL);
    fields.emplace_back();
    std::string row;
    appendCsvRecord(row, fields);
    return row;
}

// What a run of the scorer wrote and told.
struct Scored {
    RunResult result;
    std::string out;
    Diagnostics diagnostics;
};

Scored scoreText(const std::string &input, Form form, Encoding encoding)
{
    Scored scored;
    std::istringstream in(input);
    std::ostringstream out;
    scored.result = scoreCsv(in, out, form, encoding,
                             [&scored](const Diagnostic &d) { scored.diagnostics.push_back(d); });
    scored.out = out.str();
    return scored;
}

// The output without the rows that stopped with an error: those are checked
// by the end-to-end tests.
std::string withoutFailedRows(const std::string &output)
{
    std::string scored;
    std::istringstream outIn(output);
    std::string line;
    for (bool header = true; std::getline(outIn, line); header = false)
        if (header || line.back() == ',')
            scored += line + "\n";
    return scored;
}

// Scores `input` as UTF-8 and as GBK (which never takes the cached path):
// both give the same text and diagnostics, `rows` rows of which `failing`
// stop with an error, and the others are `expected`.
void checkBothWays(const std::string &input, Form form, std::int64_t rows, std::int64_t failing,
                   const std::string &expected)
{
    const Scored utf8 = scoreText(input, form, Encoding::Utf8);
    QCOMPARE(utf8.result.rows, rows);
    QCOMPARE(utf8.result.failedRows, failing);
    QCOMPARE(withoutFailedRows(utf8.out), expected);

    const Scored gbk = scoreText(*encodeFromUtf8(Encoding::Gbk, input), form, Encoding::Gbk);
    QCOMPARE(decodeToUtf8(Encoding::Gbk, gbk.out).value_or("(not GBK)"), utf8.out);
    QCOMPARE(gbk.diagnostics, utf8.diagnostics);
}

// The output header of `form` for an input header.
std::string outputHeader(const std::string &header, Form form)
{
    std::istringstream in(header);
    std::ostringstream out;
    scoreCsv(in, out, form, Encoding::Utf8, {});
    return out.str();
}

// A scorer for the columns of `header`, as the batch scorer makes one.
RowScorer scorerFor(Form form, const std::string &header)
{
    std::vector<std::pair<std::size_t, std::string>> named;
    std::istringstream in(header);
    std::string name;
    while (std::getline(in, name, ','))
        named.emplace_back(named.size(), name);
    return RowScorer(form, named.size(), named);
}

std::string header33()
{
    std::string header = "id";
    for (int k = 1; k <= 33; ++k)
        header += ",q" + std::to_string(k);
    return header;
}

// "id,YangXu,...,PingHe" or "id,YangXu1,...,PingHe8".
std::string header66(bool itemStrings)
{
    std::string header = "id";
    for (const ConstitutionType &type : kTypes) {
        if (itemStrings)
            header += "," + std::string(type.pinyin);
        else
            for (std::size_t r = 1; r <= type.questions66.size(); ++r)
                header += "," + std::string(type.pinyin) + std::to_string(r);
    }
    return header;
}

} // namespace

class TestPlainRows : public QObject {
    Q_OBJECT

private slots:
    // A record split by the end of the first buffer, at each byte that can
    // fall there: inside a field, on a comma, between CR and LF, on a quote.
    void recordsAcrossTheBufferEnd_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QByteArray>("expected");
        // Line numbers after 1 001 filler lines.
        QTest::newRow("LF") << QByteArray("ab,cd\nef\n") << QByteArray("1002:ab|cd/1003:ef/");
        QTest::newRow("CRLF") << QByteArray("ab,cd\r\nef\r\n") << QByteArray("1002:ab|cd/1003:ef/");
        QTest::newRow("lone CR") << QByteArray("ab,cd\ref\r") << QByteArray("1002:ab|cd/1003:ef/");
        QTest::newRow("empty fields")
            << QByteArray("ab,,\n,ef\n") << QByteArray("1002:ab||/1003:|ef/");
        QTest::newRow("quoted") << QByteArray("ab,\"c\nd\"\nef\n")
                                << QByteArray("1002:ab|c\nd/1004:ef/");
        QTest::newRow("no final line end")
            << QByteArray("ab,cd\nef") << QByteArray("1002:ab|cd/1003:ef/");
    }
    void recordsAcrossTheBufferEnd()
    {
        QFETCH(QByteArray, tail);
        QFETCH(QByteArray, expected);
        // Filler lines of "x\n" and one of "y" bytes bring the tail to
        // `offset` bytes before the end of the first buffer.
        for (std::size_t offset = 0; offset <= std::size_t(tail.size()); ++offset) {
            const std::size_t before = CsvReader::kBufferSize - offset;
            const std::size_t fillerLines = 1000;
            std::string input;
            for (std::size_t i = 0; i < fillerLines; ++i)
                input += "x\n";
            const std::string longLine(before - input.size() - 1, 'y');
            input += longLine + "\n" + tail.toStdString();
            const std::string records = readViews(input);
            const std::size_t at = records.find("1001:");
            QVERIFY2(at != std::string::npos, qPrintable(QString::number(offset)));
            const std::string got = records.substr(at);
            const std::string wanted = "1001:" + longLine + "/" + expected.toStdString();
            QVERIFY2(got == wanted, qPrintable(QString::number(offset) + ": " +
                                               QString::fromStdString(got.substr(got.find('/')))));
        }
    }

    // A record longer than the buffer is read whole, and so is the next.
    void recordLongerThanTheBuffer()
    {
        const std::string longField(CsvReader::kBufferSize * 2 + 7, 'z');
        const std::string records = readViews("a,b\n" + longField + ",c\r\nd\n");
        QCOMPARE(records, "1:a|b/2:" + longField + "|c/3:d/");
    }

    // Random 33-item rows, most of them plain digits and some with blanks,
    // padded or invalid answers: every output row is the one the record
    // path writes, and the same rows scored as GBK (which never takes the
    // cached path) give the same text.
    void cachedRowsEqualTheRecordPath()
    {
        std::mt19937 random(33);
        const std::array<std::string, 6> unusual = {"", " 3", "4 ", "x", "0", "6"};
        std::string input = header33() + "\n";
        std::string expected = outputHeader(input, Form::Items33);
        int failing = 0;
        for (int i = 0; i < 20000; ++i) {
            const std::string id = i % 5 == 0 ? "张" + std::to_string(i) : "c" + std::to_string(i);
            Answers33 answers;
            for (std::string &answer : answers)
                answer = std::to_string(random() % 5 + 1);
            if (i % 9 == 0)
                answers[random() % 33] = unusual[random() % unusual.size()];
            input += id;
            for (const std::string &answer : answers)
                input += "," + answer;
            input += "\n";
            const auto row = expectedRow(id, [&answers](AssessmentRecord &record) {
                BuildItemStrings33(answers, record);
                Assess33(record);
            });
            if (row)
                expected += *row;
            else
                ++failing;
        }
        QVERIFY(failing > 0);
        checkBothWays(input, Form::Items33, 20000, failing, expected);
    }

    // The same for the 66-item form, as item strings and as answer columns:
    // most rows plain, some with an item string of another length, an
    // unusual item string or an unusual answer.
    void cachedRows66EqualTheRecordPath_data()
    {
        QTest::addColumn<bool>("itemStrings");
        QTest::newRow("item strings") << true;
        QTest::newRow("answer columns") << false;
    }

    void cachedRows66EqualTheRecordPath()
    {
        QFETCH(bool, itemStrings);
        std::mt19937 random(66);
        const std::array<std::string, 13> unusualStrings = {
            "",
            "1x2;",
            " 1;2;",
            "1;2",
            "1;;2;",
            "0;",
            "6;",
            "x;",
            "１;",
            "1; 2;",
            "-1;",
            "2.0;",
            "5;5;5;5;5;5;5;5;5;5;5;5;5;5;5;5;5;"}; // 17 answers, one over the cached length
        const std::array<std::string, 6> unusualAnswers = {"", " 3", "4 ", "x", "0", "6"};
        std::string input = header66(itemStrings) + "\n";
        std::string expected = outputHeader(input, Form::Items66);
        int failing = 0;
        for (int i = 0; i < 20000; ++i) {
            const std::string id = i % 5 == 0 ? "张" + std::to_string(i) : "c" + std::to_string(i);
            input += id;
            std::array<std::string, kTypeCount> strings;
            for (std::size_t t = 0; t < kTypes.size(); ++t) {
                std::size_t count = kTypes[t].questions66.size();
                if (itemStrings && random() % 10 == 0)
                    count = random() % 16 + 1;
                for (std::size_t r = 0; r < count; ++r) {
                    std::string answer = std::to_string(random() % 5 + 1);
                    if (!itemStrings && random() % 300 == 0)
                        answer = unusualAnswers[random() % unusualAnswers.size()];
                    if (!itemStrings)
                        input += "," + answer;
                    // As the questionnaire window builds it.
                    strings[t] += std::string(trimText(answer)) + ";";
                }
                if (itemStrings && random() % 40 == 0)
                    strings[t] = unusualStrings[random() % unusualStrings.size()];
                if (itemStrings)
                    input += "," + strings[t];
            }
            input += "\n";
            const auto row = expectedRow(id, [&strings](AssessmentRecord &record) {
                for (std::size_t t = 0; t < kTypes.size(); ++t)
                    record.*fieldsOf(kTypes[t]).field = strings[t];
                Assess66(record);
            });
            if (row)
                expected += *row;
            else
                ++failing;
        }
        QVERIFY(failing > 0);
        checkBothWays(input, Form::Items66, 20000, failing, expected);
    }

    // Which rows the cached path takes: those it takes give the record
    // path's row, the others leave the output untouched.
    void cachedPathTakesPlainRowsOnly_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("itemStrings");
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("taken");

        const QString plain33 = "c1" + QString(",3").repeated(33);
        QTest::newRow("33, digits") << 33 << false << plain33 << true;
        QTest::newRow("33, a padded answer")
            << 33 << false << QString(plain33).replace(",3,3", ", 3,3") << false;
        QTest::newRow("33, a blank answer")
            << 33 << false << QString(plain33).replace(",3,3", ",,3") << false;
        QTest::newRow("33, a quoted id") << 33 << false << "\"a,b\"" + plain33.mid(2) << true;

        // YangXu 7, YinXu 8, QiXu 8, TanShi 8, ShiRe 7, XueYu 7, QiYu 7, TeBing 7, PingHe 8.
        const QString strings66 = "c1,1;2;3;4;5;1;2;,2;2;2;2;2;2;2;2;,3;3;3;3;3;3;3;3;,"
                                  "4;4;4;4;4;4;4;4;,5;4;3;2;1;2;3;,1;1;1;1;1;1;1;,"
                                  "2;3;2;3;2;3;2;,4;4;4;4;4;4;4;,5;1;5;1;5;1;5;1;";
        QTest::newRow("66, item strings") << 66 << true << strings66 << true;
        QTest::newRow("66, sixteen answers")
            << 66 << true
            << QString(strings66).replace("c1,1;2;3;4;5;1;2;,",
                                          "c1," + QString("5;").repeated(16) + ",")
            << true;
        QTest::newRow("66, seventeen answers")
            << 66 << true
            << QString(strings66).replace("c1,1;2;3;4;5;1;2;,",
                                          "c1," + QString("5;").repeated(17) + ",")
            << false;
        QTest::newRow("66, no final ;")
            << 66 << true << QString(strings66).replace("5;1;5;1;5;1;5;1;", "5;1;5;1;5;1;5;1")
            << false;
        QTest::newRow("66, an empty answer")
            << 66 << true << QString(strings66).replace("2;3;2;3;2;3;2;", "2;3;;3;2;3;2;") << false;
        QTest::newRow("66, no ; between answers")
            << 66 << true << QString(strings66).replace("2;3;2;3;2;3;2;", "2;3;2;3;2x3;2;")
            << false;
        QTest::newRow("66, an empty item string")
            << 66 << true << QString(strings66).replace(",1;1;1;1;1;1;1;,", ",,") << false;
        QTest::newRow("66, a six")
            << 66 << true << QString(strings66).replace("4;4;4;4;4;4;4;,", "4;4;6;4;4;4;4;,")
            << false;

        const QString answers66 = "c1" + QString(",4").repeated(67);
        QTest::newRow("66, answer columns") << 66 << false << answers66 << true;
        QTest::newRow("66, answer columns, a blank")
            << 66 << false << QString(answers66).replace(",4,4", ",,4") << false;
        QTest::newRow("66, answer columns, a zero")
            << 66 << false << QString(answers66).replace(",4,4", ",0,4") << false;
    }

    void cachedPathTakesPlainRowsOnly()
    {
        QFETCH(int, form);
        QFETCH(bool, itemStrings);
        QFETCH(QString, row);
        QFETCH(bool, taken);
        const Form which = form == 33 ? Form::Items33 : Form::Items66;
        const std::string header = which == Form::Items33 ? header33() : header66(itemStrings);
        RowScorer scorer = scorerFor(which, header);

        std::istringstream in(row.toStdString() + "\n");
        CsvReader reader(in);
        std::vector<std::string_view> fields;
        QVERIFY(reader.next(fields));
        QCOMPARE(fields.size(), scorer.inputColumnCount());
        std::string out = "before\n";
        QCOMPARE(scorer.appendPlainRow(fields, false, out), taken);
        if (!taken) {
            QCOMPARE(out, "before\n");
            return;
        }
        const ScoredRow scored = scorer.score({fields.begin(), fields.end()});
        QVERIFY(!scored.failed);
        std::string expected = "before\n";
        appendCsvRecord(expected, scored.fields);
        QCOMPARE(out, expected);
    }
};

TIZHI_REGISTER_TEST(TestPlainRows);

#include "tst_plain_rows.moc"
