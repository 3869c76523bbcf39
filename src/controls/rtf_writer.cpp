#include "code_pages.h"
#include "rtf.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace tizhi::rtf {

namespace {

// Appends `text` escaped for RTF: printable ASCII as is (with \ { }
// escaped), GBK characters as \'hh pairs, everything else as \uN with a
// \'3f fallback (surrogate pairs as two \u).
void appendText(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n') {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else {
            char bytes[2];
            const int count = u >= 0x80 ? gbkBytesOf(u, bytes) : 0;
            if (count > 0) {
                static constexpr char kHex[] = "0123456789abcdef";
                for (int b = 0; b < count; ++b) {
                    const char escaped[4] = {'\\', '\'', kHex[uchar(bytes[b]) >> 4],
                                             kHex[uchar(bytes[b]) & 0xF]};
                    out.append(escaped, 4);
                }
            } else {
                // \u takes a signed 16-bit value.
                out += "\\u" + QByteArray::number(qint16(u)) + "\\'3f";
            }
        }
    }
}

QByteArray colorKey(const QColor &color)
{
    return QByteArray::number(color.red()) + "," + QByteArray::number(color.green()) + "," +
           QByteArray::number(color.blue());
}

const char *alignmentWord(Qt::Alignment alignment)
{
    switch (alignment & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
        return "\\qc";
    case Qt::AlignRight:
        return "\\qr";
    case Qt::AlignJustify:
        return "\\qj";
    default:
        return "\\ql";
    }
}

// Writes the body first, numbering the fonts and colours as the runs name
// them, and then puts the header with both tables in front of it.
class Writer {
public:
    explicit Writer(const QTextDocument &document)
        : document_(document), defaultFont_(document.defaultFont()), fonts_{defaultFont_.family()}
    {
    }

    QByteArray run();

private:
    void writeParagraph(const QTextBlock &block);
    void writeRun(const QTextFragment &fragment);
    QByteArray header() const;
    qsizetype fontIndex(const QString &family);
    qsizetype colorIndex(const QColor &color);

    const QTextDocument &document_;
    const QFont defaultFont_;
    QStringList fonts_;    // \fN is entry N; entry 0 is the document's default font
    QList<QColor> colors_; // \cfN is entry N - 1; \cf0 is the default colour
    QByteArray body_;
};

QByteArray Writer::run()
{
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
        writeParagraph(block);
    QByteArray out = header();
    out += body_;
    out += "}\n";
    return out;
}

void Writer::writeParagraph(const QTextBlock &block)
{
    body_ += "\\pard";
    body_ += alignmentWord(block.blockFormat().alignment());
    body_ += ' ';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid())
            writeRun(fragment);
    }
    body_ += "\\par\n";
}

// One run of equal formatting as a group of its own.
void Writer::writeRun(const QTextFragment &fragment)
{
    const QTextCharFormat format = fragment.charFormat();
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? defaultFont_.family() : families.first();
    double points = format.fontPointSize();
    if (points <= 0)
        points = defaultFont_.pointSizeF() > 0 ? defaultFont_.pointSizeF() : 12;
    body_ += "{\\f" + QByteArray::number(fontIndex(family));
    body_ += "\\fs" + QByteArray::number(qRound(points * 2));
    if (format.foreground().style() != Qt::NoBrush)
        body_ += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
    if (format.fontWeight() >= QFont::Bold)
        body_ += "\\b";
    if (format.fontItalic())
        body_ += "\\i";
    if (format.fontUnderline())
        body_ += "\\ul";
    body_ += ' ';
    appendText(body_, fragment.text());
    body_ += '}';
}

QByteArray Writer::header() const
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 ";
        appendText(out, fonts_[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QColor &color : colors_)
        out += "\\red" + QByteArray::number(color.red()) + "\\green" +
               QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
               ";";
    out += "}\n";
    return out;
}

qsizetype Writer::fontIndex(const QString &family)
{
    qsizetype i = fonts_.indexOf(family);
    if (i < 0) {
        fonts_ << family;
        i = fonts_.size() - 1;
    }
    return i;
}

qsizetype Writer::colorIndex(const QColor &color)
{
    for (qsizetype i = 0; i < colors_.size(); ++i)
        if (colorKey(colors_[i]) == colorKey(color))
            return i + 1;
    colors_ << color;
    return colors_.size();
}

} // namespace

QByteArray write(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace tizhi::rtf
