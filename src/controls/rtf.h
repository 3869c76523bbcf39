// Rich text as RTF bytes, the format every word processor reads: the rich
// text boxes save and load their content with it, and the full-screen viewer
// receives its copy through it. Text outside ASCII is written in GBK (code
// page 936), as Chinese word processors expect; characters GBK cannot hold
// are written as Unicode escapes.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace tizhi::rtf {

// The document as RTF: fonts, colours, sizes, bold, italic, underline,
// alignment and paragraphs.
QByteArray write(const QTextDocument &document);

// Replaces the document's content with the RTF in `data`. Malformed input
// never fails: what can be read is kept. Returns false, leaving the document
// untouched, when the data is not RTF at all.
bool read(const QByteArray &data, QTextDocument &document);

} // namespace tizhi::rtf
