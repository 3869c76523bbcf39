#include "chinese_locale.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <fontconfig/fontconfig.h>

namespace tizhi {

bool installChineseTranslation(QTranslator &translator)
{
    if (!translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

bool fontconfigHints(const QString &family, double pointSize)
{
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return true;
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddDouble(pattern, FC_SIZE, pointSize);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    // The match has the rules for the font file applied too: that is where
    // a font's package says how to draw it.
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcBool hinting = FcTrue;
    if (match) {
        if (FcPatternGetBool(match, FC_HINTING, 0, &hinting) != FcResultMatch)
            hinting = FcTrue;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return hinting != FcFalse;
}

QString useChineseFont()
{
    const QStringList families = QFontDatabase::families();
    for (const char *face : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                             "WenQuanYi Zen Hei", "AR PL UMing CN"}) {
        const QString name = QString::fromLatin1(face);
        if (families.contains(name)) {
            QFont font(name);
            font.setPointSize(9);
            // Qt reads only fontconfig's hint style and would hint a face
            // whose package turns hinting off, as WenQuanYi Micro Hei's
            // does; other programs on the desktop draw it unhinted. Hinting
            // it also costs a sixth of the start-up.
            if (!fontconfigHints(name, font.pointSizeF()))
                font.setHintingPreference(QFont::PreferNoHinting);
            QApplication::setFont(font);
            return name;
        }
    }
    return {};
}

} // namespace tizhi
