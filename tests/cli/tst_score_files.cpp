// tizhi-score never loses or clobbers data: read errors, the files it
// writes and the ones beside them, links and devices, closed descriptors,
// cells no answer box could hold, byte order marks, and very long lines.
// Each case runs the real command on files the test sets up.
#include "scorer_process.h"
#include "test_registry.h"

#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using namespace tizhi::test::scorer;

class TestScoreFiles : public QObject {
    Q_OBJECT

private slots:
    // Read errors end in exit 2 with the input named; nothing is published
    // and no temporary file stays.
    void readErrors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("I/O error on standard input")
            << "$S --form 33 - out.csv < /proc/self/mem"
            << "cannot read standard input: Input/output error";
        QTest::newRow("INPUT a folder") << "mkdir folder; $S --form 33 folder out.csv"
                                        << "cannot read 'folder': Is a directory";
        QTest::newRow("standard input closed") << "$S --form 33 - out.csv <&-"
                                               << "the input is empty";
        QTest::newRow("INPUT missing") << "$S --form 33 missing.csv out.csv"
                                       << "cannot open 'missing.csv' for reading";
    }

    void readErrors()
    {
        QFETCH(QString, script);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const Run run = shell(dir, script);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY2(!run.err.contains("terminate"), qPrintable(run.err));
        QVERIFY(!files(dir).contains("out.csv"));
        QCOMPARE(files(dir).filter("out").size(), 0); // no temporary file either
    }

    // What lies beside the output, or is the output, is never clobbered.
    void filesBesideTheOutput_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("untouched"); // a file that must keep "keep me"
        QTest::newRow("INPUT x.part, OUTPUT x") << "cp forms.csv x.part"
                                                << "$S --form 33 x.part x"
                                                << "";
        QTest::newRow("an unrelated out.csv.part") << "echo 'keep me' > out.csv.part"
                                                   << "$S --form 33 forms.csv out.csv"
                                                   << "out.csv.part";
        QTest::newRow("a symbolic link planted at out.csv.part")
            << "echo 'keep me' > victim; ln -s victim out.csv.part"
            << "$S --form 33 forms.csv out.csv"
            << "victim";
    }

    void filesBesideTheOutput()
    {
        QFETCH(QString, setup);
        QFETCH(QString, script);
        QFETCH(QString, untouched);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        QCOMPARE(shell(dir, setup).exitCode, 0);
        const QStringList before = files(dir);
        const Run run = shell(dir, script);
        QCOMPARE(run.exitCode, 0);
        if (!untouched.isEmpty())
            QCOMPARE(read(dir, untouched), "keep me\n");
        if (script.endsWith(" x"))
            QCOMPARE(read(dir, "x.part"), kForms);
        const QString output = script.section(' ', -1);
        QVERIFY(read(dir, output).startsWith("id,V_YANGXU_FIELD"));
        QStringList expected = before;
        if (!expected.contains(output))
            expected << output;
        expected.sort();
        QCOMPARE(files(dir), expected); // no temporary file left
    }

    // Two runs with one OUTPUT: each writes a file of its own and publishes
    // it whole, so the output is one run's or the other's, never a mixture.
    void twoRunsWithOneOutput()
    {
        QTemporaryDir dir;
        QByteArray a = header33() + "\n", b = a;
        for (int i = 0; i < 20000; ++i) {
            a += row33("a" + QByteArray::number(i), "2") + "\n";
            b += row33("b" + QByteArray::number(i), "4") + "\n";
        }
        QVERIFY(write(dir, "a.csv", a));
        QVERIFY(write(dir, "b.csv", b));
        QCOMPARE(shell(dir, "$S --form 33 a.csv a.out && $S --form 33 b.csv b.out").exitCode, 0);
        const Run both = shell(dir, "$S --form 33 a.csv out.csv & $S --form 33 b.csv out.csv; "
                                    "s=$?; wait $! || exit 3; exit $s");
        QCOMPARE(both.exitCode, 0);
        const QByteArray out = read(dir, "out.csv");
        QVERIFY2(out == read(dir, "a.out") || out == read(dir, "b.out"),
                 qPrintable(QString::number(out.size()) + " bytes, neither run's output"));
        QCOMPARE(files(dir), QStringList({"a.csv", "a.out", "b.csv", "b.out", "out.csv"}));
    }

    void sameFileIsAUsageError_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("the same name") << "$S --form 33 forms.csv forms.csv";
        QTest::newRow("through a link")
            << "ln -s forms.csv link.csv; $S --form 33 forms.csv link.csv";
        QTest::newRow("a hard link") << "ln forms.csv hard.csv; $S --form 33 forms.csv hard.csv";
        QTest::newRow("standard input") << "$S --form 33 - forms.csv < forms.csv";
    }

    void sameFileIsAUsageError()
    {
        QFETCH(QString, script);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms + "note: a phone number column\n"));
        const Run run = shell(dir, script);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("the same file"), qPrintable(run.err));
        QCOMPARE(read(dir, "forms.csv"), kForms + "note: a phone number column\n");
    }

    // An existing output keeps what it is: a link stays a link to the file
    // now written, a device stays a device, a private file stays private.
    void theOutputKeepsWhatItIs()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", kForms));
        QCOMPARE(shell(dir, "echo old > target.csv; ln -s target.csv link.csv; "
                            "echo old > private.csv; chmod 600 private.csv")
                     .exitCode,
                 0);
        QCOMPARE(shell(dir, "$S --form 33 forms.csv link.csv").exitCode, 0);
        QVERIFY(QFileInfo(dir.filePath("link.csv")).isSymLink());
        QVERIFY(read(dir, "target.csv").startsWith("id,V_YANGXU_FIELD"));

        QCOMPARE(shell(dir, "$S --form 33 forms.csv private.csv").exitCode, 0);
        QVERIFY(read(dir, "private.csv").startsWith("id,"));
        struct stat mode {};
        QCOMPARE(stat(QFile::encodeName(dir.filePath("private.csv")).constData(), &mode), 0);
        QCOMPARE(mode.st_mode & 0777, 0600u);

        const Run device = shell(dir, "$S --form 33 forms.csv /dev/null && test -c /dev/null");
        QCOMPARE(device.exitCode, 0);
    }

    // A ";" in an answer cell makes its row an error naming the column; the
    // other rows are scored.
    void semicolonInAnAnswerCell_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("column");
        QTest::newRow("33-item form")
            << "33"
            << header33() + "\n" + row33("a") + "\n" +
                   QByteArray(row33("b")).replace(",1,1,1", ",1,\"3;4\",1") + "\n"
            << "q2";
        QByteArrayList names{"id"}, cells{"b"};
        for (const auto &[type, rows] : {std::pair{"YangXu", 7},
                                         {"YinXu", 8},
                                         {"QiXu", 8},
                                         {"TanShi", 8},
                                         {"ShiRe", 7},
                                         {"XueYu", 7},
                                         {"QiYu", 7},
                                         {"TeBing", 7},
                                         {"PingHe", 8}})
            for (int r = 1; r <= rows; ++r) {
                names << QByteArray(type) + QByteArray::number(r);
                cells << (QByteArray(type) == "YinXu" && r == 2 ? "\"5;\"" : "3");
            }
        QTest::newRow("66-item answer columns")
            << "66" << names.join(',') + "\n" + cells.join(',') + "\n"
            << "YinXu2";
    }

    void semicolonInAnAnswerCell()
    {
        QFETCH(QString, form);
        QFETCH(QByteArray, csv);
        QFETCH(QString, column);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", csv));
        const Run run = shell(dir, "$S --form " + form + " forms.csv");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(("the answer in column '" + column + "' holds ';'").toUtf8()),
                 run.out.constData());
        QVERIFY(run.err.contains("1 of "));
        if (form == "33")
            QVERIFY(run.out.contains("\na,1;1;1;1;")); // the good row is scored
    }

    void ignoredColumnsMayRepeat()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", "note," + header33() + ",note\nx," + row33("a") + ",y\n"));
        const Run run = shell(dir, "$S --form 33 forms.csv");
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("\na,"));
        const Run used = shell(dir, "sed -i '1s/note,id/q7,id/' forms.csv; $S --form 33 forms.csv");
        QCOMPARE(used.exitCode, 2);
        QVERIFY2(used.err.contains("'q7' appears twice"), qPrintable(used.err));
    }

    // With standard error closed, messages do not land in the output.
    void closedStandardErrorKeepsTheOutputClean()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", header33() + "\n" + row33("a", "x") + "\n"));
        const Run run = shell(dir, "$S --form 33 forms.csv out.csv 2>&-");
        QCOMPARE(run.exitCode, 1);
        const QByteArray out = read(dir, "out.csv");
        QVERIFY(out.startsWith("id,"));
        QVERIFY2(!out.contains("tizhi-score:"), out.constData());
    }

    void byteOrderMarks_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QString>("message");
        QTest::newRow("UTF-8 mark read as GBK")
            << "gbk" << QByteArray("\xEF\xBB\xBF") << "read it with --encoding utf-8";
        QTest::newRow("two marks")
            << "utf-8" << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << "two byte order marks";
    }

    void byteOrderMarks()
    {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, prefix);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(write(dir, "forms.csv", prefix + kForms));
        const Run run = shell(dir, "$S --form 33 --encoding " + encoding + " forms.csv");
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // A line of 20 MB of commas, as a row and as the header, is read in a
    // small multiple of its size (it took over a gigabyte).
    void longLinesStayInBounds_data()
    {
        QTest::addColumn<bool>("asHeader");
        QTest::newRow("as a data row") << false;
        QTest::newRow("as the header") << true;
    }

    void longLinesStayInBounds()
    {
        QFETCH(bool, asHeader);
        QTemporaryDir dir;
        const QByteArray commas(20 * 1024 * 1024, ',');
        QVERIFY(write(dir, "forms.csv",
                      asHeader ? commas + "\n" : header33() + "\n" + row33("a") + commas + "\n"));
        const Peak peak = spawnAndWatch({"--form", "33", dir.filePath("forms.csv")}, {}, 1 << 30);
        QCOMPARE(peak.exitCode, 2);
        const long peakKilobytes = peak.kilobytes;
        QVERIFY(peakKilobytes > 0);
        QVERIFY2(peakKilobytes < 200 * 1024,
                 qPrintable(QString::number(peakKilobytes) + " kB at the peak"));
    }
};

TIZHI_REGISTER_TEST(TestScoreFiles);

#include "tst_score_files.moc"
