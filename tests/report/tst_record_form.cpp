// The record form as a PDF, read back with pdftotext and pdffonts: the
// client, the nine types with their scores and verdicts, the summaries and
// the marks of an unsaved test and of unanswered questions, fonts embedded,
// at most two A4 pages.
#include "test_registry.h"

#include "form_font.h"
#include "pdf_reading.h"
#include "record_form.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tizhi;
using namespace tizhi::report;

namespace {

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

        const QString info = runTool("pdfinfo", {pdf});
        const QString pages = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1);
        QVERIFY2(pages == u"1" || pages == u"2", qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));

        const QString all = pdfText(pdf);
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
        const QList<PdfFont> fonts = pdfFonts(pdf);
        QVERIFY2(!fonts.isEmpty(), "no fonts listed");
        for (const auto &[name, embedded] : fonts)
            QVERIFY2(embedded, qPrintable(name));
    }

    // The cut face draws the forms' text as the face it was cut from: the
    // same outlines, advances and bold.
    void cutFaceDrawsAsTheInstalledFace_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::newRow("regular") << false;
        QTest::newRow("bold") << true;
    }

    void cutFaceDrawsAsTheInstalledFace()
    {
        QFETCH(bool, bold);
        const QStringList families = formFontFamilies();
        QCOMPARE(families.size(), 2);
        QCOMPARE(families.last(), formFontFamily());
        const QString text = formCharacters() + QStringLiteral(" 0123456789 ABC xyz 李明");
        QList<QImage> drawn;
        for (const QString &family : families) {
            QFont font(family);
            font.setPixelSize(40);
            font.setBold(bold);
            font.setHintingPreference(QFont::PreferNoHinting);
            QImage image(2400, 2400, QImage::Format_Grayscale8);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(font);
            painter.drawText(image.rect(), Qt::TextWordWrap, text);
            painter.end();
            drawn << image;
        }
        QImage blank(drawn[0].size(), drawn[0].format());
        blank.fill(Qt::white);
        QVERIFY(drawn[0] != blank);
        QVERIFY(drawn[0] == drawn[1]);
    }

    // A form is set in the face cut down to its own text and the common
    // characters: one small font. A character beyond them comes from the
    // installed face, a second font, and reads back all the same.
    void textBeyondTheCutFace_data()
    {
        QTest::addColumn<int>("form"); // 33, 66, or 0 for a diagnosis record
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fonts");
        QTest::newRow("33, common name") << 33 << "王秀英" << 1;
        QTest::newRow("66, common name") << 66 << "欧阳桂兰" << 1;
        QTest::newRow("diagnosis record, common name") << 0 << "赵淑珍" << 1;
        QTest::newRow("33, second-level character") << 33 << "张婧" << 2;
        QTest::newRow("33, character beyond GB 2312") << 33 << "李喆" << 2;
        QTest::newRow("66, rare character") << 66 << "欧阳龘" << 2;
        QTest::newRow("diagnosis record, rare character") << 0 << "陈垚" << 2;
    }

    void textBeyondTheCutFace()
    {
        QFETCH(int, form);
        QFETCH(QString, name);
        QFETCH(int, fonts);
        const QString pdf = dir_.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        if (form == 0) {
            DiagnoseForm record;
            record.client = {name, QStringLiteral("女"), QStringLiteral("76"),
                             QStringLiteral("110105194912310021"), QStringLiteral("K-7")};
            record.treatTime = QDateTime(QDate(2026, 3, 14), QTime(10, 5));
            record.doctor = QStringLiteral("李明");
            record.site = QStringLiteral("和平里社区卫生服务站");
            record.sections = {{QStringLiteral("主诉"), QStringLiteral("头晕三天，夜间口干。")},
                               {QStringLiteral("处理意见"), QString()}};
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QVERIFY(render(writer, record) > 0);
        } else {
            TestForm test = sampleForm(form == 33, "2212332132221232112322231221222 1");
            test.client.name = name;
            test.unsaved = true;
            QCOMPARE(writePdf(pdf, test), QString());
        }
        const QString text = squeezed(pdfText(pdf));
        QVERIFY2(text.contains(name), qPrintable(text));
        const QList<PdfFont> listed = pdfFonts(pdf);
        QStringList names;
        for (const auto &[font, embedded] : listed) {
            names << font;
            QVERIFY2(embedded, qPrintable(font));
        }
        QVERIFY2(names.contains(QStringLiteral("TizhiForm-Regular")), qPrintable(names.join(u',')));
        QCOMPARE(names.size(), fonts);
    }
};

TIZHI_REGISTER_TEST(TestRecordForm);

#include "tst_record_form.moc"
