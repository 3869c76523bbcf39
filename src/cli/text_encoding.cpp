#include "text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace tizhi::cli {

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

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

std::string printableBytes(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        length = std::min(length, bytes.size() - i);
        const std::string_view character = bytes.substr(i, length);
        // U+0080 to U+009F are control characters too.
        const bool control =
            c == 0xC2 && length == 2 && static_cast<unsigned char>(character[1]) < 0xA0;
        if (c >= 0x80 && !control && isValidUtf8(character)) {
            text += character;
            i += length;
            continue;
        }
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 0xF];
        }
        ++i;
    }
    return text;
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
