// The CSV reader and writer on their own: quoting, line ends, and the line
// numbers in the errors a health worker reads to fix a file.
#include "test_registry.h"

#include "csv.h"

#include <QTest>

#include <sstream>

using namespace tizhi::cli;

namespace {

// Records joined as "a|b/c|d" (fields by "|", records by "/").
QByteArray readAll(const QByteArray &input, bool skipBom = false)
{
    std::istringstream in(input.toStdString());
    CsvReader reader(in);
    if (skipBom)
        reader.skipByteOrderMark();
    std::vector<std::string> fields;
    QByteArrayList records;
    while (reader.next(fields)) {
        QByteArrayList row;
        for (const std::string &f : fields)
            row << QByteArray::fromStdString(f);
        records << row.join('|');
    }
    return records.join('/');
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("LF") << QByteArray("a,b\n1,2\n") << QByteArray("a|b/1|2");
        QTest::newRow("CRLF") << QByteArray("a,b\r\n1,2\r\n") << QByteArray("a|b/1|2");
        QTest::newRow("lone CR") << QByteArray("a,b\r1,2") << QByteArray("a|b/1|2");
        QTest::newRow("no final line end") << QByteArray("a,b\n1,2") << QByteArray("a|b/1|2");
        QTest::newRow("empty fields") << QByteArray(",\n,x,\n") << QByteArray("|/|x|");
        QTest::newRow("empty lines skipped") << QByteArray("a\n\n\r\nb\n\n") << QByteArray("a/b");
        QTest::newRow("quoted comma") << QByteArray("\"1,2\",3\n") << QByteArray("1,2|3");
        QTest::newRow("doubled quote")
            << QByteArray("\"say \"\"hi\"\"\"\n") << QByteArray("say \"hi\"");
        QTest::newRow("line break inside quotes")
            << QByteArray("\"a\nb\",c\n\"d\r\ne\"\n") << QByteArray("a\nb|c/d\r\ne");
        QTest::newRow("empty quoted field") << QByteArray("\"\",x\n") << QByteArray("|x");
        QTest::newRow("blanks kept") << QByteArray(" a , b \n") << QByteArray(" a | b ");
        QTest::newRow("Chinese UTF-8") << QByteArray("张三,是\n") << QByteArray("张三|是");
        QTest::newRow("GBK bytes pass through")
            << QByteArray("\xd5\xc5\xc8\xfd,\xca\xc7\n") << QByteArray("\xd5\xc5\xc8\xfd|\xca\xc7");
    }

    void reads()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(readAll(input), expected);
    }

    void byteOrderMark()
    {
        QCOMPARE(readAll("\xef\xbb\xbfid,q1\n", true), QByteArray("id|q1"));
        QCOMPARE(readAll("id,q1\n", true), QByteArray("id|q1"));
    }

    void errorsNameTheLine_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<QString>("words");
        QTest::newRow("quote never closed names the opening line")
            << QByteArray("a,b\n1,\"open\n2,3\n4,5\n") << qint64(2) << "never closed";
        QTest::newRow("text after closing quote")
            << QByteArray("a\n\"x\"y\n") << qint64(2) << "follows the closing quote";
        QTest::newRow("quote inside unquoted field")
            << QByteArray("a\nb\nab\"c\n") << qint64(3) << "quote inside";
        QTest::newRow("after a multi-line field the line count goes on")
            << QByteArray("a,b\n\"1\n2\n3\",x\"\n") << qint64(4) << "quote inside";
    }

    void errorsNameTheLine()
    {
        QFETCH(QByteArray, input);
        QFETCH(qint64, line);
        QFETCH(QString, words);
        try {
            readAll(input);
            QFAIL("no error");
        } catch (const CsvError &error) {
            QCOMPARE(qint64(error.line()), line);
            QVERIFY2(QString(error.what()).contains(words), error.what());
        }
    }

    void writerQuotesOnlyWhatNeedsIt()
    {
        std::ostringstream out;
        writeCsvRecord(out, {"plain", "a,b", "say \"hi\"", "two\nlines", "", "是"});
        QCOMPARE(QByteArray::fromStdString(out.str()),
                 QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",,是\n"));
    }

    void writtenRecordsReadBack()
    {
        const std::vector<std::string> record = {"x,\"y\"", "\r\n", " ", "", "3;;4;"};
        std::stringstream buffer;
        writeCsvRecord(buffer, record);
        writeCsvRecord(buffer, record);
        CsvReader reader(buffer);
        std::vector<std::string> fields;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(reader.next(fields));
            QVERIFY(fields == record);
        }
        QVERIFY(!reader.next(fields));
    }
};

TIZHI_REGISTER_TEST(TestCsv);

#include "tst_csv.moc"
