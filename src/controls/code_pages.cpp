#include "code_pages.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tizhi {

QByteArray encodeGbk(QStringView text, bool *ok)
{
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    const bool good = encoder.isValid() && !encoder.hasError();
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
    const QByteArray windowsName = "windows-" + QByteArray::number(codePage);
    QStringDecoder decoder(name ? name : windowsName.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
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
