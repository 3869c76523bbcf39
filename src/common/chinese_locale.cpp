#include "chinese_locale.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tizhi {

bool installChineseTranslation(QTranslator &translator)
{
    if (!translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
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
            QApplication::setFont(font);
            return name;
        }
    }
    return {};
}

} // namespace tizhi
