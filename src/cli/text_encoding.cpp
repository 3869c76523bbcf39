#include "text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tizhi::cli {

namespace {

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    auto continuation = [&](std::size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char c = at(i);
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (!continuation(i + 1))
                return false;
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (!continuation(i + 1) || !continuation(i + 2))
                return false;
            const unsigned char c1 = at(i + 1);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) // overlong, surrogate
                return false;
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (!continuation(i + 1) || !continuation(i + 2) || !continuation(i + 3))
                return false;
            const unsigned char c1 = at(i + 1);
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) // overlong, > U+10FFFF
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

std::optional<std::string> decodeToUtf8(Encoding encoding, std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    if (encoding == Encoding::Utf8) {
        if (!isValidUtf8(bytes))
            return std::nullopt;
        return std::string(bytes);
    }
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    const QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError() || !decoder.isValid())
        return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> encodeFromUtf8(Encoding encoding, std::string_view text)
{
    if (encoding == Encoding::Utf8 || isAscii(text))
        return std::string(text);
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(
        QString::fromUtf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size()))));
    if (encoder.hasError() || !encoder.isValid())
        return std::nullopt;
    return bytes.toStdString();
}

} // namespace tizhi::cli
