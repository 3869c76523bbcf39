// The record form as a PDF, read back with pdftotext and pdffonts: the
// client, the nine types with their scores and verdicts, the summaries and
// the marks of an unsaved test and of unanswered questions, fonts embedded,
// at most two A4 pages.
#include "test_registry.h"

#include "record_form.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tizhi;
using namespace tizhi::report;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Without white space, which pdftotext puts where lines wrap.
QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

TestForm sampleForm(bool form33, const char *answers)
{
    TestForm form;
    form.client = {QStringLiteral("王秀英"), QStringLiteral("女"), QStringLiteral("1949-12-31"),
                   QStringLiteral("11010519491231002X"), QStringLiteral("K-2026-0815")};
    StoredTest &test = form.test;
    test.form = QLatin1String(form33 ? kForm33Code : kForm66Code);
    test.testTime = QDateTime(QDate(2026, 3, 14), QTime(9, 22));
    test.name = form.client.name;
    test.identNo = form.client.identNo;
    test.doctor = QStringLiteral("李明");
    test.site = QStringLiteral("和平里社区卫生服务站");
    for (std::size_t i = 0; i < test.answers.size() && answers[i]; ++i)
        if (answers[i] != ' ')
            test.answers[i] = std::string(1, answers[i]);
    BuildItemStrings33(test.answers, test.record);
    if (form33) {
        Assess33(test.record);
    } else {
        test.answers = {};
        test.record.V_YANGXU_FIELD = "2;3;2;2;3;2;;";
        Assess66(test.record);
    }
    return form;
}

} // namespace

class TestRecordForm : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void formReadsBack_data()
    {
        QTest::addColumn<bool>("form33");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QString>("unanswered"); // a mark the text must hold
        QTest::newRow("33, complete, saved")
            << true << QByteArray("323433212333421232224313232343231") << false << QString();
        QTest::newRow("33, question 32 unanswered, unsaved")
            << true << QByteArray("2212332132221232112322231221222 1") << true << "（未答）";
        QTest::newRow("66, one YangXu answer missing")
            << false << QByteArray("323433212333421232224313232343231") << false << "（未答）";
    }

    void formReadsBack()
    {
        QFETCH(bool, form33);
        QFETCH(QByteArray, answers);
        QFETCH(bool, unsaved);
        QFETCH(QString, unanswered);
        TestForm form = sampleForm(form33, answers.constData());
        form.unsaved = unsaved;
        const QString pdf = dir_.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        QCOMPARE(writePdf(pdf, form), QString());

        const QString info = run("pdfinfo", {pdf});
        const QString pages = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1);
        QVERIFY2(pages == u"1" || pages == u"2", qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));

        const QString all = run("pdftotext", {"-enc", "UTF-8", pdf, "-"});
        const QString flat = squeezed(all);
        for (const QString &expected :
             {form.client.name, form.client.identNo, form.client.cardNo, form.test.doctor,
              squeezed(QString::fromStdString(form.test.record.V_CON_TOTAL)),
              squeezed(QString::fromStdString(form.test.record.V_RESULT_TOTAL))})
            QVERIFY2(flat.contains(expected), qPrintable(expected + u'\n' + all));
        // Each type's row: its name, then its scores.
        for (const ConstitutionType &type : kTypes) {
            const TypeFields &fields = fieldsOf(type);
            QString row = QString::fromUtf8(type.displayName.data(), type.displayName.size()) +
                          QString::fromStdString(form.test.record.*fields.org);
            if (!form33)
                row += QString::fromStdString(form.test.record.*fields.con);
            QVERIFY2(flat.contains(row), qPrintable(row + u'\n' + all));
            QVERIFY(!(form.test.record.*fields.result).empty());
        }
        QCOMPARE(flat.contains(QStringLiteral("未保存")), unsaved);
        if (!unanswered.isEmpty())
            QVERIFY2(flat.contains(unanswered), qPrintable(all));
        else
            QVERIFY2(!flat.contains(QStringLiteral("（未答）")), qPrintable(all));

        // Every font embedded.
        const QStringList fonts = run("pdffonts", {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY2(!fonts.isEmpty(), "no fonts listed");
        for (const QString &font : fonts) {
            const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
            QVERIFY2(columns.size() >= 5 && columns[columns.size() - 5] == u"yes",
                     qPrintable(font));
        }
    }
};

TIZHI_REGISTER_TEST(TestRecordForm);

#include "tst_record_form.moc"
