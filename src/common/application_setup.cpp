#include "application_setup.h"

#include "chinese_locale.h"

#include <QApplication>
#include <QIcon>

namespace tizhi {

void setUpApplication(QTranslator &translation)
{
    QApplication::setApplicationName(QStringLiteral("tizhi"));
    // The desktop entry and the icon the desktop shows for the windows; the
    // installed theme icon, else the one built into the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tizhi.Tizhi"));
    QIcon builtIn;
    for (const char *size : {"32", "64", "256"})
        builtIn.addFile(QStringLiteral(":/icons/tizhi-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tizhi"), builtIn));
    // No display name: the desktop would append it to every window's title.
    QApplication::setStyle(QStringLiteral("Fusion"));
    useChineseFont();
    installChineseTranslation(translation);
}

} // namespace tizhi
