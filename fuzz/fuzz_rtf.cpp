// RTF from arbitrary bytes: whatever another word processor or a damaged
// file holds, reading ends, and what was read survives our own writer.
#include "rtf.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString blocksText(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join(QChar('\n'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    if (!tizhi::rtf::read(input, document))
        return 0;
    // Our own output of what was read must read back to the same text.
    QTextDocument copy;
    if (!tizhi::rtf::read(tizhi::rtf::write(document), copy))
        __builtin_trap();
    if (blocksText(copy) != blocksText(document))
        __builtin_trap();
    return 0;
}
