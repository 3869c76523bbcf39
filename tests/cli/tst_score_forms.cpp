// tizhi-score --forms: one record form per row scored without an error,
// named from the id column and safe as a file name whatever the id holds,
// published whole, a file already there kept unless --force; the forms
// read back with poppler's tools; the CSV the same with and without
// forms; and without --forms no Qt GUI library in the process. Every run
// is the real command without a display: no DISPLAY, no WAYLAND_DISPLAY,
// a HOME of its own and no XDG_RUNTIME_DIR.
#include "form_files.h"
#include "pdf_reading.h"
#include "test_registry.h"
#include "text_encoding.h"

#include "assessment.h"
#include "catalogue.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using tizhi::AssessmentRecord;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The scorer in `dir` with `arguments`, as from cron: no display at all.
Run score(const QTemporaryDir &dir, const QStringList &arguments,
          const QStringList &moreEnvironment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert("HOME", dir.filePath("home"));
    QDir(dir.path()).mkpath("home");
    for (const QString &setting : moreEnvironment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(TIZHI_SCORE_PATH), arguments);
    if (!process.waitForStarted() || !process.waitForFinished(300000) ||
        process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

bool write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry of the folder, hidden ones too, by name.
QStringList entries(const QString &path)
{
    return QDir(path).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray header33(const QByteArray &leading)
{
    QByteArrayList names;
    if (!leading.isEmpty())
        names << leading;
    for (int k = 1; k <= 33; ++k)
        names << "q" + QByteArray::number(k);
    return names.join(',') + "\n";
}

QByteArray answers33(int seed)
{
    QByteArrayList cells;
    for (int k = 1; k <= 33; ++k)
        cells << QByteArray::number((seed + k * 7) % 5 + 1);
    return cells.join(',');
}

QByteArray row33(const QByteArray &leading, int seed = 0)
{
    return (leading.isNull() ? QByteArray() : leading + ",") + answers33(seed) + "\n";
}

// The nine item strings of a 66-item row.
QByteArrayList itemStrings66(int seed)
{
    QByteArrayList strings;
    for (const tizhi::ConstitutionType &type : tizhi::kTypes) {
        QByteArray answers;
        for (std::size_t r = 0; r < type.questions66.size(); ++r)
            answers += QByteArray::number((seed + int(r) * 3 + int(type.code)) % 5 + 1) + ';';
        strings << answers;
    }
    return strings;
}

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

QByteArray inGbk(const QByteArray &utf8)
{
    const auto encoded = tizhi::cli::encodeFromUtf8(tizhi::cli::Encoding::Gbk, utf8.toStdString());
    return encoded ? QByteArray::fromStdString(*encoded) : QByteArray("<not GBK>");
}

} // namespace

class TestScoreForms : public QObject {
    Q_OBJECT

private slots:
    void baseNames_data();
    void baseNames();
    void namesFromIds_data();
    void namesFromIds();
    void existingFiles_data();
    void existingFiles();
    void failedRunKeepsEarlierForms();
    void rowErrorGetsNoForm();
    void formReadsBack_data();
    void formReadsBack();
    void sameCsvWithForms_data();
    void sameCsvWithForms();
    void guiOnlyWithForms_data();
    void guiOnlyWithForms();
};

void TestScoreForms::baseNames_data()
{
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("plain id") << QByteArray("P-0001") << qint64(2) << QByteArray("P-0001");
    QTest::newRow("blanks around") << QByteArray("  P 1 ") << qint64(2) << QByteArray("P 1");
    QTest::newRow("a path") << QByteArray("../../etc/passwd") << qint64(2)
                            << QByteArray("_._.._etc_passwd");
    QTest::newRow("dot dot") << QByteArray("..") << qint64(2) << QByteArray("_.");
    QTest::newRow("hidden") << QByteArray(".profile") << qint64(2) << QByteArray("_profile");
    QTest::newRow("Windows' reserved")
        << QByteArray("a\\b:c*d?e\"f<g>h|i") << qint64(2) << QByteArray("a_b_c_d_e_f_g_h_i");
    QTest::newRow("control characters") << QByteArray("a\tb\x01"
                                                      "c\x7f"
                                                      "d\xc2\x85"
                                                      "e")
                                        << qint64(2) << QByteArray("a_b_c_d_e");
    QTest::newRow("Chinese") << QByteArray("王秀英") << qint64(2) << QByteArray("王秀英");
    QTest::newRow("empty") << QByteArray() << qint64(17) << QByteArray("line-17");
    QTest::newRow("blank") << QByteArray("   ") << qint64(9) << QByteArray("line-9");
    // 67 characters of three bytes: cut after 66, never inside one.
    QTest::newRow("long Chinese id")
        << QByteArray("中").repeated(67) << qint64(2) << QByteArray("中").repeated(66);
}

void TestScoreForms::baseNames()
{
    QFETCH(QByteArray, id);
    QFETCH(qint64, line);
    QFETCH(QByteArray, name);
    QCOMPARE(QByteArray::fromStdString(tizhi::cli::formBaseName(id.toStdString(), line)), name);
}

void TestScoreForms::namesFromIds_data()
{
    QTest::addColumn<QByteArray>("csv"); // UTF-8
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("three ids") << header33("id") + row33("A", 1) + row33("B", 2) + row33("C", 3)
                               << false << QStringList{"A.pdf", "B.pdf", "C.pdf"};
    QTest::newRow("hostile ids") << header33("id") + row33("../x", 1) + row33("..", 2) +
                                        row33("a/b", 3) + row33(".", 4)
                                 << false << QStringList{"_.pdf", "_..pdf", "_._x.pdf", "a_b.pdf"};
    QTest::newRow("repeated ids, in any case")
        << header33("id") + row33("A", 1) + row33("a", 2) + row33("A", 3) + row33("A-2", 4) << false
        << QStringList{"A-2-2.pdf", "A-3.pdf", "A.pdf", "a-2.pdf"};
    QTest::newRow("empty ids") << header33("id") + row33("", 1) + row33(" ", 2) + row33("D", 3)
                               << false << QStringList{"D.pdf", "line-2.pdf", "line-3.pdf"};
    QTest::newRow("no id column") << header33("") + row33(QByteArray(), 1) + row33(QByteArray(), 2)
                                  << false << QStringList{"line-2.pdf", "line-3.pdf"};
    QTest::newRow("Chinese ids in a GBK file")
        << header33("id") + row33("王秀英", 1) + row33("李明", 2) + row33("王秀英", 3) << true
        << QStringList{"李明.pdf", "王秀英-2.pdf", "王秀英.pdf"};
}

void TestScoreForms::namesFromIds()
{
    QFETCH(QByteArray, csv);
    QFETCH(bool, gbk);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    QVERIFY(write(dir, "in.csv", gbk ? inGbk(csv) : csv));
    QStringList arguments{"--form", "33", "--forms", "forms", "in.csv"};
    if (gbk)
        arguments << "--encoding"
                  << "gbk";
    const Run scored = score(dir, arguments);
    QVERIFY2(scored.exitCode == 0, qPrintable(scored.err));
    QStringList found = entries(dir.filePath("forms"));
    std::sort(names.begin(), names.end());
    std::sort(found.begin(), found.end());
    QCOMPARE(found, names);
    for (const QString &name : found)
        QVERIFY2(read(dir.filePath("forms/" + name)).startsWith("%PDF"), qPrintable(name));
    // Without a display, nothing but the count is told.
    QCOMPARE(scored.err,
             QStringLiteral("tizhi-score: wrote %1 forms to 'forms'\n").arg(names.size()));
}

void TestScoreForms::existingFiles_data()
{
    QTest::addColumn<bool>("force");
    QTest::newRow("kept without --force") << false;
    QTest::newRow("replaced with --force") << true;
}

void TestScoreForms::existingFiles()
{
    QFETCH(bool, force);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("forms"));
    QVERIFY(write(dir, "forms/A.pdf", "written by hand"));
    QVERIFY(write(dir, "in.csv", header33("id") + row33("A", 1) + row33("B", 2)));
    QStringList arguments{"--form", "33", "--forms", "forms", "in.csv"};
    if (force)
        arguments << "--force";
    const Run scored = score(dir, arguments);
    QCOMPARE(scored.exitCode, 0);
    QCOMPARE(entries(dir.filePath("forms")), (QStringList{"A.pdf", "B.pdf"}));
    QCOMPARE(read(dir.filePath("forms/A.pdf")).startsWith("%PDF"), force);
    QVERIFY(read(dir.filePath("forms/B.pdf")).startsWith("%PDF"));
    QCOMPARE(scored.err.contains("line 2: kept 'forms/A.pdf', which was there"), !force);
    QVERIFY2(scored.err.contains(force ? "wrote 2 forms to 'forms'\n"
                                       : "wrote 1 form to 'forms'; kept 1 file that was there"),
             qPrintable(scored.err));
}

void TestScoreForms::failedRunKeepsEarlierForms()
{
    QTemporaryDir dir;
    QVERIFY(write(dir, "in.csv",
                  header33("id") + row33("A", 1) + row33("B", 2) + "C,1,2\n" + row33("D", 4)));
    const Run scored = score(dir, {"--form", "33", "--forms", "forms", "in.csv", "out.csv"});
    QCOMPARE(scored.exitCode, 2);
    QVERIFY2(scored.err.contains("line 4: the row has 3 fields"), qPrintable(scored.err));
    QVERIFY2(scored.err.contains("wrote 2 forms to 'forms'"), qPrintable(scored.err));
    // No temporary file, no part of a form: the two whole forms only.
    QCOMPARE(entries(dir.filePath("forms")), (QStringList{"A.pdf", "B.pdf"}));
    for (const char *name : {"A.pdf", "B.pdf"})
        QVERIFY2(read(dir.filePath("forms/") + name).trimmed().endsWith("%%EOF"), name);
    QVERIFY(!QFile::exists(dir.filePath("out.csv")));
}

void TestScoreForms::rowErrorGetsNoForm()
{
    QTemporaryDir dir;
    QByteArray bad = row33("B", 2);
    bad.replace(2, 1, "1;2");
    QVERIFY(write(dir, "in.csv", header33("id") + row33("A", 1) + bad + row33("C", 3)));
    const Run scored = score(dir, {"--form", "33", "--forms", "forms", "in.csv"});
    QCOMPARE(scored.exitCode, 1);
    QVERIFY2(scored.err.contains("line 3: the answer in column 'q1' holds ';'"),
             qPrintable(scored.err));
    QVERIFY2(scored.err.contains("wrote 2 forms to 'forms'"), qPrintable(scored.err));
    QCOMPARE(entries(dir.filePath("forms")), (QStringList{"A.pdf", "C.pdf"}));
}

void TestScoreForms::formReadsBack_data()
{
    QTest::addColumn<bool>("form33");
    QTest::addColumn<bool>("gbk");
    // Whether the forms' face can be cut down; when fontconfig draws its
    // bold from another family, the whole installed face is used.
    QTest::addColumn<bool>("cut");
    QTest::newRow("33-item form, UTF-8") << true << false << true;
    QTest::newRow("33-item form, GBK") << true << true << true;
    QTest::newRow("66-item form, UTF-8") << false << false << true;
    QTest::newRow("66-item form, GBK") << false << true << true;
    QTest::newRow("33-item form, face not cut") << true << false << false;
    QTest::newRow("66-item form, face not cut") << false << false << false;
}

// A fontconfig set-up that draws every bold from DejaVu Sans.
QByteArray boldElsewhere()
{
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
           "<include ignore_missing=\"no\">/etc/fonts/fonts.conf</include>\n"
           "<match target=\"pattern\"><test name=\"weight\" compare=\"more_eq\">"
           "<const>bold</const></test><edit name=\"family\" mode=\"assign\" binding=\"strong\">"
           "<string>DejaVu Sans</string></edit></match>\n</fontconfig>\n";
}

void TestScoreForms::formReadsBack()
{
    QFETCH(bool, form33);
    QFETCH(bool, gbk);
    QFETCH(bool, cut);
    AssessmentRecord record = tizhi::startRecord();
    QByteArray csv = "name,id,time,doctor,site,";
    QByteArray row = "王秀英,11010519491231002X,2026-03-14 09:22:00,李明,和平里社区卫生服务站,";
    if (form33) {
        csv = header33(csv + "x").replace(",x,", ",");
        row += answers33(5);
        tizhi::Answers33 answers;
        const QByteArrayList cells = answers33(5).split(',');
        for (std::size_t k = 0; k < answers.size(); ++k)
            answers[k] = cells[qsizetype(k)].toStdString();
        tizhi::BuildItemStrings33(answers, record);
        tizhi::Assess33(record);
    } else {
        csv += "YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe\n";
        const QByteArrayList strings = itemStrings66(5);
        row += strings.join(',');
        for (std::size_t i = 0; i < tizhi::kTypes.size(); ++i)
            record.*tizhi::kTypeFields[i].field = strings[qsizetype(i)].toStdString();
        tizhi::Assess66(record);
    }
    csv += row + "\n";
    QTemporaryDir dir;
    QVERIFY(write(dir, "in.csv", gbk ? inGbk(csv) : csv));
    QStringList arguments{"--form", form33 ? "33" : "66", "--forms", "forms", "in.csv"};
    if (gbk)
        arguments << "--encoding"
                  << "gbk";
    QStringList environment;
    if (!cut) {
        QVERIFY(write(dir, "fonts.conf", boldElsewhere()));
        environment << "FONTCONFIG_FILE=" + dir.filePath("fonts.conf");
    }
    const Run scored = score(dir, arguments, environment);
    QVERIFY2(scored.exitCode == 0, qPrintable(scored.err));
    const QString pdf = dir.filePath("forms/11010519491231002X.pdf");

    const QString all = pdfText(pdf);
    const QString flat = squeezed(all);
    for (const QString &expected :
         {QStringLiteral("王秀英"), QStringLiteral("11010519491231002X"), QStringLiteral("李明"),
          QStringLiteral("和平里社区卫生服务站"), QStringLiteral("2026-03-14"),
          form33 ? QStringLiteral("33项") : QStringLiteral("66项"),
          squeezed(text(record.V_CON_TOTAL)), squeezed(text(record.V_RESULT_TOTAL))})
        QVERIFY2(flat.contains(expected), qPrintable(expected + u'\n' + all));
    // Each type's row: its name, then its scores.
    for (const tizhi::ConstitutionType &type : tizhi::kTypes) {
        const tizhi::TypeFields &fields = tizhi::fieldsOf(type);
        QString expected = QString::fromUtf8(type.displayName.data(), type.displayName.size()) +
                           text(record.*fields.org);
        if (!form33)
            expected += text(record.*fields.con);
        QVERIFY2(flat.contains(expected), qPrintable(expected + u'\n' + all));
    }
    // One font, embedded: the cut face, or the installed one.
    const QList<PdfFont> fonts = pdfFonts(pdf);
    QCOMPARE(fonts.size(), 1);
    QVERIFY2(fonts[0].embedded, qPrintable(fonts[0].name));
    QCOMPARE(fonts[0].name == u"TizhiForm-Regular", cut);
}

void TestScoreForms::sameCsvWithForms_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<QByteArray>("csv");
    QByteArray plain = header33("id,name");
    for (int i = 0; i < 40; ++i)
        plain += row33("P" + QByteArray::number(i) + ",王" + QByteArray::number(i), i);
    QTest::newRow("33-item form, plain rows") << "33" << false << plain;
    QTest::newRow("33-item form, GBK") << "33" << true << plain;
    QByteArray strings = "id,YangXu,YinXu,QiXu,TanShi,ShiRe,XueYu,QiYu,TeBing,PingHe\n";
    for (int i = 0; i < 20; ++i)
        strings += "P" + QByteArray::number(i) + "," + itemStrings66(i).join(',') + "\n";
    QTest::newRow("66-item form, item strings") << "66" << false << strings;
}

void TestScoreForms::sameCsvWithForms()
{
    QFETCH(QString, form);
    QFETCH(bool, gbk);
    QFETCH(QByteArray, csv);
    QTemporaryDir dir;
    QVERIFY(write(dir, "in.csv", gbk ? inGbk(csv) : csv));
    QStringList arguments{"--form", form, "--encoding", gbk ? "gbk" : "utf-8", "in.csv"};
    const Run plain = score(dir, arguments);
    const Run withForms = score(dir, QStringList{"--forms", "forms"} + arguments);
    QVERIFY2(plain.exitCode == 0 && withForms.exitCode == 0, qPrintable(withForms.err));
    QVERIFY(plain.out.size() > csv.size() / 2);
    QCOMPARE(withForms.out, plain.out);
    QCOMPARE(entries(dir.filePath("forms")).size(), csv.count('\n') - 1);
}

void TestScoreForms::guiOnlyWithForms_data()
{
    QTest::addColumn<bool>("forms");
    QTest::newRow("without --forms, no Qt GUI") << false;
    QTest::newRow("with --forms, Qt GUI loaded") << true;
}

void TestScoreForms::guiOnlyWithForms()
{
    QFETCH(bool, forms);
    QTemporaryDir dir;
    QVERIFY(write(dir, "in.csv", header33("id") + row33("A", 1)));
    QStringList arguments{"--form", "33", "in.csv"};
    if (forms)
        arguments << "--forms"
                  << "forms";
    // The dynamic loader names every library it opens.
    const Run scored = score(dir, arguments, {"LD_DEBUG=files"});
    QCOMPARE(scored.exitCode, 0);
    QVERIFY2(scored.err.contains("libQt6Core.so"), qPrintable(scored.err.left(2000)));
    QCOMPARE(scored.err.contains("libQt6Gui.so"), forms);
    QCOMPARE(scored.err.contains("tizhi-forms.so"), forms);
}

TIZHI_REGISTER_TEST(TestScoreForms);

#include "tst_score_forms.moc"
