// The PDF files the program writes, read back with poppler-utils.
#pragma once

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// What `program` writes to its standard output; when it fails, a text
// naming it and its error, which no expected text contains.
inline QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The file's text, as pdftotext gives it.
inline QString pdfText(const QString &path)
{
    return runTool(QStringLiteral("pdftotext"), {"-enc", "UTF-8", path, "-"});
}

// Without white space, which pdftotext puts where lines wrap.
inline QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

struct PdfFont {
    QString name;
    bool embedded = false;
};

// The fonts pdffonts lists for the file.
inline QList<PdfFont> pdfFonts(const QString &path)
{
    QList<PdfFont> fonts;
    const QString listed = runTool(QStringLiteral("pdffonts"), {path});
    for (const QString &line : listed.split(u'\n', Qt::SkipEmptyParts).mid(2)) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        fonts.append(
            {columns.value(0), columns.size() >= 5 && columns[columns.size() - 5] == u"yes"});
    }
    return fonts;
}
