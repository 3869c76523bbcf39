// Tizhi: the program entry. No arguments are read: the appearance comes from
// Config.ini beside the program, everything else lives in the main window.
#include "chinese_locale.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tizhi"));
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
