// Tizhi: the program entry. No arguments are read: the appearance comes from
// Config.ini beside the program, everything else lives in the main window.
#include "chinese_locale.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tizhi"));
    // The desktop entry and the icon the desktop shows for the windows; the
    // installed theme icon, else the one built in.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tizhi.Tizhi"));
    QIcon builtIn;
    for (const char *size : {"32", "64", "256"})
        builtIn.addFile(QStringLiteral(":/icons/tizhi-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tizhi"), builtIn));
    // No display name: the desktop would append it to every window's title.
    QApplication::setStyle(QStringLiteral("Fusion"));
    tizhi::useChineseFont();
    QTranslator qtTranslation;
    tizhi::installChineseTranslation(qtTranslation);

    auto *window = new TfrmMedDiaClientInfoEdit;
    // Maximised also where no window manager does it.
    window->setGeometry(window->screen()->availableGeometry());
    window->showMaximized();
    return QApplication::exec();
}
