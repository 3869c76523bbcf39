#include "code_pages.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace tizhi {

namespace {

// Opening a converter costs far more than converting a character, so each
// thread keeps one per code page, and the GBK bytes of each character once
// found.
QStringDecoder &decoderFor(const char *name)
{
    thread_local std::unordered_map<std::string, QStringDecoder> decoders;
    auto it = decoders.find(name);
    if (it == decoders.end())
        it = decoders.emplace(name, QStringDecoder(name, QStringDecoder::Flag::Stateless)).first;
    return it->second;
}

// 0: not looked up yet; 1: no place in GBK; else 0x10000 | the two bytes
// (or 0x20000 | the one byte).
using GbkTable = std::array<std::uint32_t, 0x10000>;

std::uint32_t gbkEntry(char16_t u)
{
    thread_local std::unique_ptr<GbkTable> table;
    thread_local QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    if (!table)
        table = std::make_unique<GbkTable>();
    std::uint32_t &entry = (*table)[u];
    if (entry == 0) {
        const QChar c(u);
        const QByteArray bytes = encoder.encode(QStringView(&c, 1));
        const bool good = encoder.isValid() && !encoder.hasError();
        encoder.resetState();
        if (good && bytes.size() == 2)
            entry = 0x10000 | (std::uint32_t(uchar(bytes[0])) << 8) | uchar(bytes[1]);
        else if (good && bytes.size() == 1)
            entry = 0x20000 | uchar(bytes[0]);
        else
            entry = 1;
    }
    return entry;
}

} // namespace

int gbkBytesOf(char16_t u, char bytes[2])
{
    if (QChar::isSurrogate(u))
        return 0;
    const std::uint32_t entry = gbkEntry(u);
    if (entry & 0x10000) {
        bytes[0] = char(entry >> 8 & 0xFF);
        bytes[1] = char(entry & 0xFF);
        return 2;
    }
    if (entry & 0x20000) {
        bytes[0] = char(entry & 0xFF);
        return 1;
    }
    return 0;
}

QByteArray encodeGbk(QStringView text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    bool good = true;
    for (qsizetype i = 0; i < text.size() && good; ++i) {
        char pair[2];
        const int count = gbkBytesOf(text[i].unicode(), pair);
        bytes.append(pair, count);
        good = count > 0;
    }
    if (ok)
        *ok = good;
    return good ? bytes : QByteArray();
}

QString decodeCodePage(int codePage, QByteArrayView bytes)
{
    const char *name = nullptr;
    switch (codePage) {
    case 936:
        name = "GBK";
        break;
    case 932:
        name = "Shift_JIS";
        break;
    case 950:
        name = "Big5";
        break;
    case 949:
        name = "windows-949";
        break;
    case 874:
        name = "windows-874";
        break;
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        break;
    case 65001:
        return QString::fromUtf8(bytes);
    default:
        codePage = 1252;
        break;
    }
    QByteArray windowsName;
    if (!name) {
        windowsName = "windows-" + QByteArray::number(codePage);
        name = windowsName.constData();
    }
    QStringDecoder &decoder = decoderFor(name);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    QString text = decoder.decode(bytes);
    decoder.resetState();
    return text;
}

int codePageOfCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 0:
        return 1252;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return ansiCodePage;
    }
}

} // namespace tizhi
