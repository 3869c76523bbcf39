// The RTF reader and writer: round trips, RTF from other word processors,
// and our output read by an independent reader (unrtf).
#include "test_registry.h"

#include "control_kinds.h"
#include "rtf.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace tizhi;

namespace {

// One run of equal formatting, as read back from a document.
struct Run {
    QString text;
    QString family;
    double points;
    QColor color;
    bool bold, italic, underline;
};

QList<Run> runs(const QTextDocument &document)
{
    QList<Run> list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            list << Run{it.fragment().text(),
                        f.fontFamilies().toStringList().value(0),
                        f.fontPointSize(),
                        f.foreground().style() == Qt::NoBrush ? QColor() : f.foreground().color(),
                        f.fontWeight() >= QFont::Bold,
                        f.fontItalic(),
                        f.fontUnderline()};
        }
    }
    return list;
}

// The text with paragraphs joined by "\n", keeping line separators and
// no-break spaces that toPlainText() would flatten.
QString blocksText(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join('\n');
}

QString plainText(const QByteArray &rtf)
{
    QTextDocument document;
    if (!rtf::read(rtf, document))
        return QStringLiteral("<not rtf>");
    return blocksText(document);
}

QTextCharFormat format(double points, const QColor &color = {}, bool bold = false,
                       bool italic = false, bool underline = false)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    if (color.isValid())
        f.setForeground(color);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    return f;
}

// Chinese and Latin text in several sizes, colours and styles, the
// characters RTF reserves, a character outside GBK, a tab and a line break
// inside a paragraph, an empty and a centred paragraph.
void fillSample(QTextDocument &document)
{
    QTextCursor c(&document);
    c.insertText("中医体质 Tizhi ", format(14, Qt::red, true));
    c.insertText("辨识", format(10, Qt::blue, false, true, true));
    c.insertBlock();
    c.insertText("back\\slash {braces} 😀 𠀀 end", format(12));
    c.insertBlock();
    c.insertText(QString("tab\there") + QChar(QChar::LineSeparator) + "next line", format(9.5));
    c.insertBlock();
    c.insertBlock();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    c.insertText("居中 centred", format(20, QColor(0x12, 0x34, 0x56)));
}

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(TIZHI_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsTextAndFormatting()
    {
        QTextDocument original;
        fillSample(original);
        const QByteArray bytes = rtf::write(original);
        QTextDocument copy;
        QVERIFY(rtf::read(bytes, copy));
        QCOMPARE(blocksText(copy), blocksText(original));
        QCOMPARE(copy.blockCount(), original.blockCount());
        const QList<Run> a = runs(original), b = runs(copy);
        QCOMPARE(b.size(), a.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            QCOMPARE(b[i].text, a[i].text);
            QCOMPARE(b[i].points, a[i].points);
            QCOMPARE(b[i].color, a[i].color);
            QCOMPARE(b[i].bold, a[i].bold);
            QCOMPARE(b[i].italic, a[i].italic);
            QCOMPARE(b[i].underline, a[i].underline);
        }
        QCOMPARE(copy.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(copy.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    void writerSpeaksGbk()
    {
        QTextDocument document;
        fillSample(document);
        const QByteArray bytes = rtf::write(document);
        QVERIFY(bytes.startsWith("{\\rtf1\\ansi\\ansicpg936"));
        QVERIFY(bytes.contains("\\fcharset134"));
        QVERIFY(bytes.contains("\\'d6\\'d0\\'d2\\'bd"));        // 中医
        QVERIFY(bytes.contains("\\u-10179\\'3f\\u-8704\\'3f")); // 😀 as a surrogate pair
        QVERIFY(bytes.contains("back\\\\slash \\{braces\\}"));
        QVERIFY(bytes.contains("\\fs28"));
        QVERIFY(bytes.contains("\\red18\\green52\\blue86;"));

        // One byte in GBK, none in GBK, and each again once its bytes are known.
        QTextDocument more;
        QTextCursor(&more).insertText(QString::fromUtf8("€ก中€ก中"));
        const QByteArray moreBytes = rtf::write(more);
        QVERIFY2(moreBytes.contains("\\'80\\u3585\\'3f\\'d6\\'d0\\'80\\u3585\\'3f\\'d6\\'d0"),
                 moreBytes.constData());
        QCOMPARE(plainText(moreBytes), QString::fromUtf8("€ก中€ก中"));
        for (char c : bytes)
            QVERIFY2(uchar(c) < 0x80, "RTF output must be 7-bit");
    }

    void emptyDocumentRoundTrips()
    {
        QTextDocument empty;
        QTextDocument copy;
        copy.setPlainText("old");
        QVERIFY(rtf::read(rtf::write(empty), copy));
        QCOMPARE(copy.toPlainText(), QString());
        QCOMPARE(copy.blockCount(), 1);
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        auto row = [](const char *name, const char *rtf, const QString &text) {
            QTest::newRow(name) << QByteArray(rtf) << text;
        };
        row("GBK pair split across a line break",
            "{\\rtf1\\ansi\\ansicpg936 \\'d6\r\n\\'d0\\'d2\\'bd}", "中医");
        row("font charset decides the code page",
            "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset134 "
            "\\'cb\\'ce\\'cc\\'e5;}}\\f0 caf\\'e9 \\f1 \\'d6\\'d0}",
            "café 中");
        row("font cpg wins over charset",
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg936 X;}}\\f0\\'d6\\'d0}", "中");
        row("no ansicpg reads Windows-1252", "{\\rtf1\\ansi \\'e9\\'80}", "é€");
        row("unicode with ? fallback", "{\\rtf1 \\u20013?abc}", "中abc");
        row("unicode with two fallback escapes", "{\\rtf1\\uc2 \\u20013\\'d6\\'d0x}", "中x");
        row("uc0 has no fallback", "{\\rtf1\\uc0 \\u20013 x}", "中x");
        row("negative unicode and surrogates", "{\\rtf1 \\u-10179\\'3f\\u-8704\\'3f!}", "😀!");
        row("fallback ends at a brace", "{\\rtf1\\uc3 {\\u20013}ab}", "中ab");
        row("uc is group-scoped", "{\\rtf1 {\\uc2 \\u20013??}\\u20013?z}", "中中z");
        row("paragraphs, line breaks and tabs", "{\\rtf1 a\\par b\\line c\\tab d\\par}",
            QString("a\nb") + QChar(QChar::LineSeparator) + "c\td");
        row("backslash newline is a paragraph", "{\\rtf1 a\\\nb}", "a\nb");
        row("empty paragraphs kept", "{\\rtf1 a\\par\\par\\par b}", "a\n\n\nb");
        row("escaped symbols", "{\\rtf1 \\\\ \\{ \\} \\~x}",
            QString("\\ { } ") + QChar(0xA0) + "x");
        row("unknown words skipped", "{\\rtf1 \\foo \\bar12 text\\baz-3 !}", "text!");
        row("ignorable destination skipped", "{\\rtf1 a{\\*\\unknown hidden {deep}}b}", "ab");
        row("stylesheet and info skipped",
            "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}body}", "body");
        row("field result kept, instruction skipped",
            "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}} now}",
            "see link now");
        row("bin bytes skipped, braces inside too", "{\\rtf1 a\\bin5 {}}{xb}", "ab");
        row("bin inside a skipped group", "{\\rtf1 {\\pict\\bin3 }}}}c}", "c");
        row("bin longer than the input", "{\\rtf1 a\\bin999999999 xyz", "a");
        row("hidden text", "{\\rtf1 a{\\v secret}b}", "ab");
        row("plain ends a style, not text", "{\\rtf1 {\\b a\\plain b}}", "ab");
        row("special characters",
            "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
            QString::fromUtf8("—–•‘’“”"));
        row("section, page and table row end paragraphs", "{\\rtf1 a\\sect b\\page c\\row d}",
            "a\nb\nc\nd");
        row("a table cell ends in a tab", "{\\rtf1 a\\cell b}", "a\tb");
        row("the known ignorable destination is text", "{\\rtf1 a{\\*\\ud b}c}", "abc");
        row("an ignorable word in the font table skips its group",
            "{\\rtf1{\\fonttbl{\\f0{\\*\\panose 02}Arial;}}\\f0 x}", "x");
        row("unbalanced closing braces", "{\\rtf1 a}}}b", "ab");
        row("missing closing braces", "{\\rtf1 {{{a", "a");
        row("truncated hex escape", "{\\rtf1 a\\'d", "a");
        row("bad hex escape", "{\\rtf1 a\\'zzb}", "azzb");
        row("backslash at the end", "{\\rtf1 a\\", "a");
        row("invalid GBK pair", "{\\rtf1\\ansi\\ansicpg936 \\'81\\'20x}",
            QString(QChar(0xFFFD)) + " x");
        row("lone surrogate dropped", "{\\rtf1 \\u-10179\\'3f a}", " a");
        row("out-of-range unicode", "{\\rtf1 \\u99999?a}", QString(QChar(0xFFFD)) + "a");
        row("leading blanks before the header", " \r\n{\\rtf1 ok}", "ok");
        row("not RTF", "plain text", "<not rtf>");
    }

    void reads()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(plainText(rtf), text);
    }

    void readsFormatting()
    {
        QTextDocument document;
        QVERIFY(rtf::read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}"
                          "\\fs36\\b\\cf1 big\\b0\\i  small\\plain  plain"
                          "{\\dbch\\afs40\\ab \\u20013?}\\qc\\par}",
                          document));
        const QList<Run> list = runs(document);
        QCOMPARE(list.size(), 4);
        QCOMPARE(list[0].text, "big");
        QCOMPARE(list[0].points, 18.0);
        QVERIFY(list[0].bold);
        QCOMPARE(list[0].color, QColor(Qt::red));
        QCOMPARE(list[1].text, " small");
        QVERIFY(!list[1].bold);
        QVERIFY(list[1].italic);
        QCOMPARE(list[2].text, " plain");
        QCOMPARE(list[2].points, 12.0);
        QVERIFY(!list[2].color.isValid());
        // CJK text written the way LibreOffice writes it: associated size and bold.
        QCOMPARE(list[3].text, "中");
        QCOMPARE(list[3].points, 20.0);
        QVERIFY(list[3].bold);
        QCOMPARE(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
    }

    // The control words that choose a paragraph's alignment.
    void readsAlignment_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::newRow("none is left")
            << QByteArray("{\\rtf1 a\\par}") << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("qr is right")
            << QByteArray("{\\rtf1\\qr a\\par}") << Qt::Alignment(Qt::AlignRight);
        QTest::newRow("qj is justified")
            << QByteArray("{\\rtf1\\qj a\\par}") << Qt::Alignment(Qt::AlignJustify);
        QTest::newRow("ql after qc is left")
            << QByteArray("{\\rtf1\\qc\\ql a\\par}") << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("pard after qc is left")
            << QByteArray("{\\rtf1\\qc\\pard a\\par}") << Qt::Alignment(Qt::AlignLeft);
        QTest::newRow("qc in the font table does nothing")
            << QByteArray("{\\rtf1{\\fonttbl\\qc{\\f0 Arial;}}a\\par}")
            << Qt::Alignment(Qt::AlignLeft);
    }

    void readsAlignment()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(Qt::Alignment, alignment);
        QTextDocument document;
        QVERIFY(rtf::read(rtf, document));
        QCOMPARE(document.firstBlock().text(), "a");
        QCOMPARE(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 alignment);
    }

    // The control words that shape the characters of the one run "x".
    void readsCharacterFormat_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        const QByteArray fonts = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}";
        QTest::newRow("deff names the font of runs without f")
            << QByteArray("{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}x}") << "Courier"
            << 12.0 << false << false << false;
        QTest::newRow("f names the font") << fonts + "\\f1 x}"
                                          << "Courier" << 12.0 << false << false << false;
        QTest::newRow("ulnone ends underlining") << fonts + "\\ul\\ulnone x}"
                                                 << "Arial" << 12.0 << false << false << false;
        QTest::newRow("ul0 ends underlining") << fonts + "\\ul\\ul0 x}"
                                              << "Arial" << 12.0 << false << false << false;
        QTest::newRow("b0 ends bold") << fonts + "\\b\\b0\\i\\ul x}"
                                      << "Arial" << 12.0 << false << true << true;
        QTest::newRow("fs0 keeps the size") << fonts + "\\fs30\\fs0 x}"
                                            << "Arial" << 15.0 << false << false << false;
        QTest::newRow("af, afs, ab and ai apply after dbch")
            << fonts + "\\af1\\afs40\\ab\\ai\\dbch x}"
            << "Courier" << 20.0 << true << true << false;
        QTest::newRow("loch ends the associated properties")
            << fonts + "\\af1\\afs40\\ab\\ai\\dbch\\loch x}"
            << "Arial" << 12.0 << false << false << false;
        QTest::newRow("hich ends them too") << fonts + "\\af1\\afs40\\ab\\ai\\dbch\\hich x}"
                                            << "Arial" << 12.0 << false << false << false;
        QTest::newRow("ab0 and ai0 clear bold and italic after dbch")
            << fonts + "\\b\\i\\ab0\\ai0\\dbch x}"
            << "Arial" << 12.0 << false << false << false;
    }

    void readsCharacterFormat()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QTextDocument document;
        QVERIFY(rtf::read(rtf, document));
        const QList<Run> list = runs(document);
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].text, "x");
        QCOMPARE(list[0].family, family);
        QCOMPARE(list[0].points, points);
        QCOMPARE(list[0].bold, bold);
        QCOMPARE(list[0].italic, italic);
        QCOMPARE(list[0].underline, underline);
    }

    // Files LibreOffice wrote: their text as LibreOffice itself reads it,
    // and the sizes, colours and styles it stored.
    void readsLibreOfficeFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("mixed") << "libreoffice-mixed";
        QTest::newRow("notice") << "libreoffice-notice";
    }

    void readsLibreOfficeFiles()
    {
        QFETCH(QString, name);
        const QByteArray rtfBytes = fixture(name + ".rtf");
        QVERIFY(!rtfBytes.isEmpty());
        QString expected = QString::fromUtf8(fixture(name + ".txt"));
        expected.remove(QChar(0xFEFF));
        while (expected.endsWith('\n'))
            expected.chop(1);
        QCOMPARE(plainText(rtfBytes), expected);
    }

    void libreOfficeFormattingKept()
    {
        QTextDocument document;
        QVERIFY(rtf::read(fixture("libreoffice-mixed.rtf"), document));
        const QList<Run> list = runs(document);
        auto find = [&list](const QString &text) -> Run {
            for (const Run &r : list)
                if (r.text.contains(text))
                    return r;
            return Run{};
        };
        QCOMPARE(find("中医体质辨识").points, 18.0);
        QVERIFY(find("中医体质辨识").bold);
        QVERIFY(find("italic").italic);
        QVERIFY(find("下划线").underline);
        QCOMPARE(find("红色文字").color, QColor(Qt::red));
        QCOMPARE(find("blue small").color, QColor(Qt::blue));
        QCOMPARE(find("blue small").points, 9.0);
        QCOMPARE(find("蓝色").points, 9.0);
        QCOMPARE(find("Tizhi").points, 12.0);
        QCOMPARE(document.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
    }

    // unrtf, an independent reader, decodes our GBK escapes with sizes and
    // colours.
    void independentReaderReadsOurOutput()
    {
        const QString unrtf = QStandardPaths::findExecutable("unrtf");
        if (unrtf.isEmpty())
            QFAIL("unrtf is missing: scripts/setup installs it");
        QTextDocument document;
        QTextCursor c(&document);
        c.insertText("中医体质辨识 ", format(18, Qt::red, true));
        c.insertText("Tizhi {ok}", format(12));
        QTemporaryDir dir;
        QFile file(dir.filePath("out.rtf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf::write(document));
        file.close();
        QProcess process;
        process.start(unrtf, {"--html", file.fileName()});
        QVERIFY(process.waitForFinished(30000));
        const QString html = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(html.contains("&#20013;&#21307;&#20307;&#36136;&#36776;&#35782;"),
                 qPrintable(html));
        QVERIFY(html.contains("#ff0000"));
        QVERIFY(html.contains("<b>"));
        QVERIFY(html.contains("Tizhi {ok}"));
    }

    void richTextBoxesSaveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("box.rtf");
        TwwDBRichEdit source;
        fillSample(*source.document());
        QVERIFY(source.saveRtf(path));
        TRichEdit target;
        target.setPlainText("old");
        QVERIFY(target.loadRtf(path));
        QCOMPARE(target.toPlainText(), source.toPlainText());
        QVERIFY(!target.loadRtf(dir.filePath("missing.rtf")));
        QVERIFY(!source.saveRtf(dir.filePath("no/such/folder/x.rtf")));
        // A file that is no RTF is read as GBK text.
        QFile plain(dir.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("\xd6\xd0\xd2\xbd text");
        plain.close();
        QVERIFY(target.loadRtf(plain.fileName()));
        QCOMPARE(target.toPlainText(), "中医 text");
    }
};

TIZHI_REGISTER_TEST(TestRtf);

#include "tst_rtf.moc"
