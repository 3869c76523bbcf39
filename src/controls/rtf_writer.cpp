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

} // namespace

QByteArray write(const QTextDocument &document)
{
    const QFont defaultFont = document.defaultFont();
    QStringList fonts{defaultFont.family()};
    QList<QColor> colors;

    auto fontIndex = [&fonts](const QString &family) {
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts << family;
            i = fonts.size() - 1;
        }
        return i;
    };
    auto colorIndex = [&colors](const QColor &color) {
        for (qsizetype i = 0; i < colors.size(); ++i)
            if (colorKey(colors[i]) == colorKey(color))
                return i + 1;
        colors << color;
        return colors.size();
    };

    QByteArray body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        body += "\\pard";
        switch (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask) {
        case Qt::AlignHCenter:
            body += "\\qc";
            break;
        case Qt::AlignRight:
            body += "\\qr";
            break;
        case Qt::AlignJustify:
            body += "\\qj";
            break;
        default:
            body += "\\ql";
            break;
        }
        body += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            const QString family = families.isEmpty() ? defaultFont.family() : families.first();
            double points = format.fontPointSize();
            if (points <= 0)
                points = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12;
            body += "{\\f" + QByteArray::number(fontIndex(family));
            body += "\\fs" + QByteArray::number(qRound(points * 2));
            if (format.foreground().style() != Qt::NoBrush)
                body += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
            if (format.fontWeight() >= QFont::Bold)
                body += "\\b";
            if (format.fontItalic())
                body += "\\i";
            if (format.fontUnderline())
                body += "\\ul";
            body += ' ';
            appendText(body, fragment.text());
            body += '}';
        }
        body += "\\par\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 ";
        appendText(out, fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QColor &color : colors)
        out += "\\red" + QByteArray::number(color.red()) + "\\green" +
               QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
               ";";
    out += "}\n";
    out += body;
    out += "}\n";
    return out;
}

} // namespace tizhi::rtf
