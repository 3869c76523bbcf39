// Rows read in place and scored from answers scored once per type: what the
// batch scorer does for the common row must give the very bytes the record
// path gives, wherever a row falls in the reader's buffer.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "assessment.h"
#include "batch_scorer.h"
#include "csv.h"

#include <QTest>

#include <random>
#include <sstream>

using namespace tizhi;
using namespace tizhi::cli;

namespace {

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

// The output row the record path writes for 33 answers, or nothing when
// the assessment stops with an error.
std::optional<std::string> expectedRow(const std::string &id, const Answers33 &answers)
{
    AssessmentRecord record = startRecord();
    BuildItemStrings33(answers, record);
    try {
        Assess33(record);
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
        std::string input = "id";
        for (int k = 1; k <= 33; ++k)
            input += ",q" + std::to_string(k);
        input += "\n";
        std::string expected;
        {
            // The output header.
            std::istringstream in(input);
            std::ostringstream out, err;
            scoreCsv(in, out, err, Form::Items33, Encoding::Utf8);
            expected = out.str();
        }
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
            if (const auto row = expectedRow(id, answers))
                expected += *row;
            else
                ++failing;
        }
        QVERIFY(failing > 0);

        std::istringstream in(input);
        std::ostringstream out, err;
        const RunResult result = scoreCsv(in, out, err, Form::Items33, Encoding::Utf8);
        QCOMPARE(result.rows, 20000);
        QCOMPARE(result.failedRows, failing);
        // Rows that stop with an error are checked by the end-to-end tests;
        // here they are left out of the comparison.
        std::string scored;
        std::istringstream outIn(out.str());
        std::string line;
        for (bool header = true; std::getline(outIn, line); header = false)
            if (header || line.back() == ',')
                scored += line + "\n";
        QCOMPARE(scored, expected);

        std::istringstream gbkIn(*encodeFromUtf8(Encoding::Gbk, input));
        std::ostringstream gbkOut, gbkErr;
        scoreCsv(gbkIn, gbkOut, gbkErr, Form::Items33, Encoding::Gbk);
        QCOMPARE(*decodeToUtf8(Encoding::Gbk, gbkOut.str()), out.str());
        QCOMPARE(gbkErr.str(), err.str());
    }
};

TIZHI_REGISTER_TEST(TestPlainRows);

#include "tst_plain_rows.moc"
